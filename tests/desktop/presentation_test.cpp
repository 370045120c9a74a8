// The desktop presentation in a real X server, inside the test program: a
// known frame composed on the back screen is presented and read back from
// the screen, the window is created once, and presents keep to the
// display's refresh. Each test
// runs in a child process of its own, since SDL's video stays connected to
// the display it first met.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "desktop_kit.h"
#include "draw/eldraw.h"
#include "platform/desktop/desktop.h"
#include "platform/platform.h"
#include "xvfb.h"

namespace {

// Runs `body` in a child process and passes when it raised no failure.
#define EXPECT_PASSES_IN_A_CHILD(body) \
  EXPECT_EXIT((body(), std::exit(::testing::Test::HasFailure() ? 1 : 0)), ::testing::ExitedWithCode(0), "")

void PresentAFrameOfFourColours() {
  ASSERT_TRUE(platform::CreateMainWindow("Tonquill presentation", false, 640, 480));
  draw::SetFullScreenFlag(false);
  ASSERT_EQ(elDraw::Screen(640, 480), 1);
  draw::Surface& screen = draw::BackScreen();
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      screen.At(x, y) = draw::RgbToPixel(y < 240 ? (x < 320 ? 0xFF0000 : 0x00FF00) : (x < 320 ? 0x0000FF : 0xFFFFFF));
  const std::string window = test::WaitForWindow("Tonquill presentation", test::kStartUpSeconds);
  ASSERT_FALSE(window.empty());
  // Red, green, blue and white quarters, but for the low bits 5-6-5 drops.
  auto shown = [&window](int x, int y, std::uint32_t colour) {
    const test::Area area = test::WindowArea(window);
    return test::NearColour(test::ScreenPixel(area.left + x, area.top + y), colour, 8);
  };
  EXPECT_TRUE(test::WaitUntil(
      [&] {
        elDraw::Present();
        return shown(100, 100, 0xFF0000) && shown(500, 100, 0x00FF00) && shown(100, 400, 0x0000FF) &&
               shown(500, 400, 0xFFFFFF);
      },
      10));
  test::RunCommand("import -window " + window + " " TONQUILL_BINARY_DIR "/presentation.png 2>/dev/null");
  elDraw::Release();
  platform::DestroyMainWindow();
}

// A window created again when its presentation is opened would mean a
// second full-screen switch before the first picture.
void CreateAFullScreenWindowAndItsPresentation() {
  ASSERT_TRUE(platform::CreateMainWindow("Tonquill once", true, 640, 480));
  const unsigned long created = platform::desktop::MainWindowId();
  EXPECT_NE(created, 0u);
  ASSERT_TRUE(platform::OpenPresentation(640, 480));
  EXPECT_EQ(platform::desktop::MainWindowId(), created);
  platform::DestroyMainWindow();
}

// The game's frame rate is the display's (Xvfb says 60 Hz or nothing, and
// nothing is taken as 60 Hz): 31 presents in a row span at least 30
// refresh periods, however fast the frames are drawn. A slow machine only
// makes them slower, so the bound cannot fail under load.
void PresentsKeepToTheRefresh() {
  ASSERT_TRUE(platform::CreateMainWindow("Tonquill pace", false, 640, 480));
  ASSERT_TRUE(platform::OpenPresentation(640, 480));
  std::vector<std::uint16_t> frame(640 * 480, 0x07E0);
  const auto started = std::chrono::steady_clock::now();
  for (int n = 0; n < 31; ++n) {
    ASSERT_TRUE(platform::WaitVerticalBlank());
    platform::PresentFrame(frame.data(), 640, 480, 640);
  }
  const double spanMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  EXPECT_GE(spanMs, 30 * 1000.0 / 60 - 1);
  platform::DestroyMainWindow();
}

// Input ends a wait for the refresh at once, but never hurries the frames:
// with input waiting at every present, 31 presents still span at least 29
// refresh periods (each waits until the one before it was shown).
void PresentsKeepToTheRefreshWhileInputWaits() {
  ASSERT_TRUE(platform::CreateMainWindow("Tonquill pace with input", false, 640, 480));
  ASSERT_TRUE(platform::OpenPresentation(640, 480));
  std::vector<std::uint16_t> frame(640 * 480, 0x07E0);
  const auto started = std::chrono::steady_clock::now();
  for (int n = 0; n < 31; ++n) {
    platform::desktop::QueueEvent({platform::EventKind::WindowMoved});
    platform::desktop::QueueEvent({platform::EventKind::WindowMoved});
    platform::Event event;
    platform::PollEvent(event);  // one is taken, one waits
    ASSERT_TRUE(platform::WaitVerticalBlank());
    platform::PresentFrame(frame.data(), 640, 480, 640);
  }
  const double spanMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  EXPECT_GE(spanMs, 29 * 1000.0 / 60 - 1);
  platform::DestroyMainWindow();
}

TEST(DesktopPresentation, PresentedFrameAppearsInTheWindow) {
  test::Xvfb display;
  ASSERT_TRUE(display.Running());
  EXPECT_PASSES_IN_A_CHILD(PresentAFrameOfFourColours);
}

TEST(DesktopPresentation, TheFullScreenWindowIsCreatedOnce) {
  test::Xvfb display;
  ASSERT_TRUE(display.Running());
  EXPECT_PASSES_IN_A_CHILD(CreateAFullScreenWindowAndItsPresentation);
}

TEST(DesktopPresentation, PresentsKeepToTheDisplaysRefresh) {
  test::Xvfb display;
  ASSERT_TRUE(display.Running());
  EXPECT_PASSES_IN_A_CHILD(PresentsKeepToTheRefresh);
}

TEST(DesktopPresentation, InputDoesNotHurryThePresents) {
  test::Xvfb display;
  ASSERT_TRUE(display.Running());
  EXPECT_PASSES_IN_A_CHILD(PresentsKeepToTheRefreshWhileInputWaits);
}

}  // namespace
