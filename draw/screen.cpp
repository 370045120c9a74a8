// Screen set-up, presentation, restoration and release of the elDraw module.
#include <cstring>

#include "draw/eldraw.h"
#include "draw/text.h"
#include "platform/platform.h"
#include "report/report.h"

namespace draw {

// The screen's state: the back screen, the internal objects' surfaces, the
// clip, the pixel format and where frames are shown.
static Surface backScreen;
static Surface internalSurfaces[kFirstLoadedObject];
static ClipRect clip{0, 0, kScreenWidth, kScreenHeight};
static PixelFormat pixelFormat{};
static bool fullScreenFlag = true;
static bool screenSetUp = false;
static bool presentationOpen = false;
static bool soundOpen = false;
static int screenWidth = kScreenWidth;
static int screenHeight = kScreenHeight;
static int clientX = 0;
static int clientY = 0;

// Names of the internal objects, and the role word of each in its failure.
static const char* const kInternalNames[kFirstLoadedObject] = {"内部用１", "内部用２", "内部用３", "内部用４"};
static constexpr std::uint32_t kRedMask = 0xF800, kGreenMask = 0x07E0, kBlueMask = 0x001F;

Surface& BackScreen() { return backScreen; }
const ClipRect& Clip() { return clip; }
const PixelFormat& ScreenPixelFormat() { return pixelFormat; }
bool ScreenIsSetUp() { return screenSetUp; }
void SetFullScreenFlag(bool fullScreen) { fullScreenFlag = fullScreen; }
bool FullScreenFlag() { return fullScreenFlag; }
void SetClientOrigin(int x, int y) {
  clientX = x;
  clientY = y;
}
int ClientLeft() { return clientX; }
int ClientTop() { return clientY; }

int DesktopDepth() { return platform::DesktopBitsPerPixel(); }

void ConfineCursor() {
  if (fullScreenFlag) platform::ConfineCursor(0, 0, screenWidth, screenHeight);
  else platform::ConfineCursor(clientX, clientY, clientX + screenWidth, clientY + screenHeight);
}

static ChannelFormat Channel(std::uint32_t mask) {
  ChannelFormat c{mask, 0, 0};
  std::uint32_t m = mask;
  while (m != 0 && (m & 1) == 0) {  // a mask of 0 (no such channel) ends at once
    m >>= 1;
    ++c.shift;
  }
  c.maximum = m;
  return c;
}

void LoseAllSurfaces() {
  backScreen.MarkLost();
  for (Surface& s : internalSurfaces) s.MarkLost();
  for (int n = kFirstLoadedObject; n < kObjectCount; ++n)
    if (Surface* s = ObjectSurface(n)) s->MarkLost();
}

bool SurfacesAreLost(const Surface* a, const Surface* b) {
  if (platform::TakeSurfacesLost()) LoseAllSurfaces();
  return backScreen.lost || (a && a->lost) || (b && b->lost);
}

void ResetDraw() {
  backScreen = Surface();
  for (Surface& s : internalSurfaces) s = Surface();
  clip = {0, 0, kScreenWidth, kScreenHeight};
  screenWidth = kScreenWidth;
  screenHeight = kScreenHeight;
  pixelFormat = {};
  screenSetUp = presentationOpen = soundOpen = false;
  fullScreenFlag = true;
  clientX = clientY = 0;
  ResetObjects();
  ResetText();
}

}  // namespace draw

namespace elDraw {

using namespace draw;

int Screen(int width, int height, int /*placement: every surface lives in memory*/) {
  screenWidth = width;
  screenHeight = height;
  SetClip(0, 0, width, height);
  if (!platform::OpenPresentation(width, height)) return report::ReportError("elDraw::Screen", "DirectDrawが使用できません", 0);
  presentationOpen = true;
  backScreen = Surface(width, height);
  for (int n = 0; n < kFirstLoadedObject; ++n) {
    internalSurfaces[n] = Surface(width, height);
    InstallInternalObject(n, &internalSurfaces[n], kInternalNames[n], width, height);
  }
  pixelFormat = {Channel(kRedMask), Channel(kGreenMask), Channel(kBlueMask)};
  soundOpen = platform::OpenSoundDevice();  // a machine without sound is not an error
  if (fullScreenFlag) ConfineCursor();
  screenSetUp = true;
  return 1;
}

void SetClip(int left, int top, int right, int bottom) { clip = {left, top, right, bottom}; }

void Present() {
  if (!presentationOpen) return;
  if (!platform::WaitVerticalBlank()) return;
  if (SurfacesAreLost(nullptr, nullptr)) {
    Restore();
    return;
  }
  platform::PresentFrame(backScreen.pixels.data(), backScreen.width, backScreen.height, backScreen.width);
}

void Restore() {
  backScreen.lost = false;
  for (Surface& s : internalSurfaces) s.lost = false;  // their pictures are scratch: not reloaded
  for (int n = kFirstLoadedObject; n < kObjectCount; ++n) {
    const ObjectEntry& entry = Object(n);
    if (entry.name[0] == '\0' || entry.surface == nullptr || !entry.surface->lost) continue;
    entry.surface->lost = false;
    if (entry.name[0] == '*') continue;  // a blank object has no bitmap to reload
    char name[sizeof entry.name];
    std::memcpy(name, entry.name, sizeof name);
    SetKeyColor(entry.colorKey);
    SwapObject(name, n, entry.reloadMemoryType);
  }
}

void Release() {
  ResetObjects();
  backScreen = Surface();
  for (Surface& s : internalSurfaces) s = Surface();
  if (presentationOpen) platform::ClosePresentation();
  if (soundOpen) platform::CloseSoundDevice();
  presentationOpen = soundOpen = screenSetUp = false;
}

}  // namespace elDraw
