// The presentation of frames: the 5-6-5 picture is scaled by the processor
// straight into the window's own pixels (shared memory with the X server),
// its aspect kept, and the window is updated. No OpenGL is started: making
// a GL context costs about 0.1 s before the first picture, and where the
// GL is itself drawn by the processor it costs far more per frame than
// this. Presents are paced to the display's refresh, as a vertical blank
// would pace them. The last frame is kept, so an exposed or resized window
// shows it again at once.
#include <SDL.h>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "platform/desktop/desktop.h"
#include "platform/desktop/input_wait.h"
#include "platform/desktop/picture_scaler.h"
#include "platform/platform.h"

namespace platform::desktop {

using Clock = std::chrono::steady_clock;

// The picture's size, its last frame, the scaler for the window as it is
// now, and the next refresh a present waits for.
static bool presentationOpen = false;
static int pictureWidth = 0, pictureHeight = 0;
static std::vector<std::uint16_t> lastFrame;
static bool frameShown = false;
static PictureScaler scaler;
static Clock::duration refreshPeriod{};
static Clock::time_point nextRefresh{};
// The main loop's event polls when input last ended a wait for the
// refresh; whether the frame of that wait is to be shown at its refresh,
// and whether it still waits for it (and when that is).
static unsigned long pollsAtLastCut = ~0ul;
static bool presentLater = false;
static bool framePending = false;
static Clock::time_point pendingDue{};

// A window's pixels in 32-bit form hold each channel in 8 bits; the scaler
// writes those directly. Other forms go through a 32-bit copy.
static bool ChannelShift(Uint32 mask, int& shift) {
  for (shift = 0; shift < 32; shift += 8)
    if (mask == (0xFFu << shift)) return true;
  return false;
}

static void ShowLastFrame() {
  SDL_Window* window = MainWindow();
  SDL_Surface* surface = window != nullptr ? SDL_GetWindowSurface(window) : nullptr;
  if (surface == nullptr || lastFrame.empty()) return;
  const SDL_PixelFormat* format = surface->format;
  int red = 0, green = 0, blue = 0;
  const bool direct = format->BytesPerPixel == 4 && ChannelShift(format->Rmask, red) &&
                      ChannelShift(format->Gmask, green) && ChannelShift(format->Bmask, blue);
  if (!direct) red = 16, green = 8, blue = 0;
  if (!scaler.PreparedFor(surface->w, surface->h, red, green, blue))
    scaler.Prepare(pictureWidth, pictureHeight, surface->w, surface->h, red, green, blue);
  if (direct) {
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    scaler.Scale(lastFrame.data(), pictureWidth, static_cast<std::uint32_t*>(surface->pixels), surface->pitch);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  } else {
    SDL_Surface* copy = SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 32, SDL_PIXELFORMAT_RGB888);
    if (copy == nullptr) return;
    scaler.Scale(lastFrame.data(), pictureWidth, static_cast<std::uint32_t*>(copy->pixels), copy->pitch);
    SDL_BlitSurface(copy, nullptr, surface, nullptr);
    SDL_FreeSurface(copy);
  }
  SDL_UpdateWindowSurface(window);
}

void ShowFrameWhenDue(Clock::time_point* deadline) {
  if (!framePending) return;
  if (Clock::now() >= pendingDue) {
    framePending = false;
    ShowLastFrame();
  } else if (deadline != nullptr && pendingDue < *deadline) {
    *deadline = pendingDue;
  }
}

void PresentAgain() {
  if (presentationOpen && frameShown) ShowLastFrame();
}

// The picture's place in the window as it is now (the window may have been
// resized since the last frame).
static PictureRect CurrentPlace() {
  int width = pictureWidth, height = pictureHeight;
  if (SDL_Window* window = MainWindow()) SDL_GetWindowSize(window, &width, &height);
  return PicturePlace(pictureWidth, pictureHeight, width, height);
}

void PictureToWindow(int x, int y, int& windowX, int& windowY) {
  windowX = x;
  windowY = y;
  if (!presentationOpen) return;
  const PictureRect place = CurrentPlace();
  windowX = place.x + static_cast<int>(static_cast<long long>(x) * place.width / pictureWidth);
  windowY = place.y + static_cast<int>(static_cast<long long>(y) * place.height / pictureHeight);
}

void WindowToPicture(int windowX, int windowY, int& x, int& y) {
  x = windowX;
  y = windowY;
  if (!presentationOpen) return;
  const PictureRect place = CurrentPlace();
  if (place.width <= 0 || place.height <= 0) return;
  // Rounded towards minus infinity, so the letterbox left of or above the
  // picture gives negative coordinates, as outside it should.
  auto scaleBack = [](long long offset, int picture, int placed) {
    const long long scaled = offset * picture;
    return static_cast<int>(scaled >= 0 ? scaled / placed : -((-scaled + placed - 1) / placed));
  };
  x = scaleBack(windowX - place.x, pictureWidth, place.width);
  y = scaleBack(windowY - place.y, pictureHeight, place.height);
}

// The display's refresh period; 60 Hz where the display does not say.
static Clock::duration RefreshPeriodOf(SDL_Window* window) {
  SDL_DisplayMode mode;
  int rate = 60;
  if (SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate >= 24 && mode.refresh_rate <= 500)
    rate = mode.refresh_rate;
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate));
}

}  // namespace platform::desktop

namespace platform {

bool OpenPresentation(int width, int height) {
  using namespace desktop;
  SDL_Window* window = MainWindow();
  if (window == nullptr || width <= 0 || height <= 0 || SDL_GetWindowSurface(window) == nullptr) return false;
  pictureWidth = width;
  pictureHeight = height;
  lastFrame.assign(static_cast<std::size_t>(width) * height, 0);
  refreshPeriod = RefreshPeriodOf(window);
  nextRefresh = Clock::time_point{};
  presentationOpen = true;
  return true;
}

void ClosePresentation() {
  desktop::presentationOpen = false;
  desktop::framePending = desktop::presentLater = false;
  desktop::frameShown = false;
  desktop::lastFrame.clear();
}

// Waits for the display's next refresh. A present that comes late shows at
// once, and the next one waits for the refresh after it, as with a real
// vertical blank. Input must not wait for the picture: when some arrives
// meanwhile, the wait ends and the frame is shown at its refresh by
// whoever waits next (the main loop after the pass, the next present).
bool WaitVerticalBlank() {
  using namespace desktop;
  if (!presentationOpen) return false;
  // A frame still waiting for its refresh is shown first, at its time.
  if (framePending) std::this_thread::sleep_until(pendingDue);
  ShowFrameWhenDue();
  const Clock::time_point now = Clock::now();
  if (nextRefresh == Clock::time_point{} || now >= nextRefresh + refreshPeriod) {
    nextRefresh = now + refreshPeriod;
    return true;
  }
  if (now < nextRefresh && EventPolls() != pollsAtLastCut) {
    if (SleepUntilInputOr(nextRefresh)) {
      pollsAtLastCut = EventPolls();
      presentLater = true;
    }
  } else if (now < nextRefresh) {
    std::this_thread::sleep_until(nextRefresh);
  }
  pendingDue = nextRefresh;
  nextRefresh += refreshPeriod;
  return true;
}

void PresentFrame(const std::uint16_t* pixels, int width, int height, int pitch) {
  using namespace desktop;
  if (!presentationOpen || width != pictureWidth || height != pictureHeight) return;
  for (int y = 0; y < height; ++y)
    std::copy(pixels + static_cast<std::size_t>(y) * pitch, pixels + static_cast<std::size_t>(y) * pitch + width,
              lastFrame.begin() + static_cast<std::ptrdiff_t>(y) * width);
  frameShown = true;
  framePending = std::exchange(presentLater, false);
  if (!framePending) ShowLastFrame();
}

int DesktopBitsPerPixel() {
  SDL_DisplayMode mode;
  if (!desktop::StartVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 24;
  return static_cast<int>(SDL_BITSPERPIXEL(mode.format));
}


}  // namespace platform
