// The presentation of frames: a renderer (vsync) on the main window and a
// streaming RGB565 texture scaled to the window with its aspect kept. The
// texture keeps the last frame, so an exposed or resized window shows it
// again at once.
#include <SDL.h>

#include "platform/desktop/desktop.h"
#include "platform/platform.h"

namespace platform::desktop {

// The renderer, the texture frames are uploaded to, and whether it holds one.
static SDL_Renderer* renderer = nullptr;
static SDL_Texture* frameTexture = nullptr;
static bool frameShown = false;
static bool surfacesLost = false;

void NoteSurfacesLost() { surfacesLost = true; }

static void ShowTexture() {
  SDL_RenderClear(renderer);
  SDL_RenderCopy(renderer, frameTexture, nullptr, nullptr);
  SDL_RenderPresent(renderer);
}

void PresentAgain() {
  // After a device reset the texture's picture is gone: the program
  // restores its surfaces and presents anew.
  if (renderer != nullptr && frameShown && !surfacesLost) ShowTexture();
}

void PictureToWindow(int x, int y, int& windowX, int& windowY) {
  windowX = x;
  windowY = y;
  if (renderer == nullptr) return;
  SDL_RenderLogicalToWindow(renderer, static_cast<float>(x), static_cast<float>(y), &windowX, &windowY);
}

}  // namespace platform::desktop

namespace platform {

using desktop::frameTexture;
using desktop::renderer;

bool OpenPresentation(int width, int height) {
  SDL_Window* window = desktop::MainWindow();
  if (window == nullptr) return false;
  renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
  if (renderer == nullptr) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (renderer == nullptr) return false;
  SDL_RenderSetLogicalSize(renderer, width, height);  // scaled with its aspect kept
  frameTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (frameTexture == nullptr) {
    SDL_DestroyRenderer(renderer);
    renderer = nullptr;
    return false;
  }
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  return true;
}

void ClosePresentation() {
  if (frameTexture) SDL_DestroyTexture(frameTexture);
  if (renderer) SDL_DestroyRenderer(renderer);
  frameTexture = nullptr;
  renderer = nullptr;
  desktop::frameShown = false;
}

// The renderer's vsync makes the present itself wait for the blank.
bool WaitVerticalBlank() { return renderer != nullptr; }

void PresentFrame(const std::uint16_t* pixels, int /*width*/, int /*height*/, int pitch) {
  if (renderer == nullptr) return;
  SDL_UpdateTexture(frameTexture, nullptr, pixels, pitch * 2);
  desktop::ShowTexture();
  desktop::frameShown = true;
}

bool TakeSurfacesLost() {
  const bool lost = desktop::surfacesLost;
  desktop::surfacesLost = false;
  return lost;
}

int DesktopBitsPerPixel() {
  SDL_DisplayMode mode;
  if (!desktop::StartVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 24;
  return static_cast<int>(SDL_BITSPERPIXEL(mode.format));
}

// The built-in synthesizer owns the sound output; there is nothing to open.
bool OpenSoundDevice() { return true; }
void CloseSoundDevice() {}

}  // namespace platform
