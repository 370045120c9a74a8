// Screen set-up, presentation and release of the elDraw module.
#include "base/module_state.h"
#include "draw/eldraw.h"
#include "draw/text.h"
#include "platform/platform.h"
#include "report/report.h"

namespace draw {

// The screen's state: the back screen, the internal objects' surfaces, the
// clip, the pixel format and where frames are shown.
namespace {
struct State {
  Surface backScreen{};
  Surface internalSurfaces[kFirstLoadedObject]{};
  bool fullScreenFlag = true;
  bool presentationOpen = false;
  int screenWidth = kScreenWidth;
  int screenHeight = kScreenHeight;
  int clientX = 0;
  int clientY = 0;
  ClipRect clip{0, 0, kScreenWidth, kScreenHeight};
  PixelFormat pixelFormat{};
};
base::ModuleState<State> state;
}  // namespace

// Names of the internal objects, and the role word of each in its failure.
static const char* const kInternalNames[kFirstLoadedObject] = {"内部用１", "内部用２", "内部用３", "内部用４"};
static constexpr report::PlayerText kNoPresentation = {"DirectDrawが使用できません", "frames cannot be shown on this display"};
static constexpr std::uint32_t kRedMask = 0xF800, kGreenMask = 0x07E0, kBlueMask = 0x001F;

Surface& BackScreen() { return state.backScreen; }
const ClipRect& Clip() { return state.clip; }
const PixelFormat& ScreenPixelFormat() { return state.pixelFormat; }
void SetFullScreenFlag(bool fullScreen) { state.fullScreenFlag = fullScreen; }
bool FullScreenFlag() { return state.fullScreenFlag; }
void SetClientOrigin(int x, int y) {
  state.clientX = x;
  state.clientY = y;
}
int ClientLeft() { return state.clientX; }
int ClientTop() { return state.clientY; }

int DesktopDepth() { return platform::DesktopBitsPerPixel(); }

void ConfineCursor() {
  if (state.fullScreenFlag) platform::ConfineCursor(0, 0, state.screenWidth, state.screenHeight);
  else platform::ConfineCursor(state.clientX, state.clientY, state.clientX + state.screenWidth, state.clientY + state.screenHeight);
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

void ResetDraw() {
  state.Reset();
  ResetObjects();
  ResetText();
}

}  // namespace draw

namespace elDraw {

using namespace draw;

int Screen(int width, int height) {
  state.screenWidth = width;
  state.screenHeight = height;
  SetClip(0, 0, width, height);
  if (!platform::OpenPresentation(width, height)) return report::ReportError("elDraw::Screen", kNoPresentation, 0);
  state.presentationOpen = true;
  state.backScreen = Surface(width, height);
  for (int n = 0; n < kFirstLoadedObject; ++n) {
    state.internalSurfaces[n] = Surface(width, height);
    InstallInternalObject(n, &state.internalSurfaces[n], kInternalNames[n], width, height);
  }
  state.pixelFormat = {Channel(kRedMask), Channel(kGreenMask), Channel(kBlueMask)};
  if (state.fullScreenFlag) ConfineCursor();
  return 1;
}

void SetClip(int left, int top, int right, int bottom) { state.clip = {left, top, right, bottom}; }

void Present() {
  if (!state.presentationOpen) return;
  if (!platform::WaitVerticalBlank()) return;
  platform::PresentFrame(state.backScreen.pixels.data(), state.backScreen.width, state.backScreen.height, state.backScreen.width);
}

void Release() {
  ResetObjects();
  state.backScreen = Surface();
  for (Surface& s : state.internalSurfaces) s = Surface();
  if (state.presentationOpen) platform::ClosePresentation();
  state.presentationOpen = false;
}

}  // namespace elDraw
