// Full screen as a user meets it on desktops of two sizes: the window
// covers the desktop with or without a window manager, the whole picture
// shows letterboxed, the pointer reaches every corner of the picture and no
// further, and a click lands on the point of the picture it was aimed at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "desktop_kit.h"
#include "xvfb.h"

namespace {

const std::string kSong = TONQUILL_SOURCE_DIR "/assets/songs/twinkle.mid";

struct DesktopSize {
  int width, height;
};

// Artwork points near the picture's four corners, on the title panel and
// on EXIT: all seen means the whole picture is shown, not a part of it.
const int kSamples[][2] = {{3, 3}, {636, 3}, {3, 476}, {636, 476}, {300, 100}, {599, 195}};

class FullScreen : public ::testing::TestWithParam<DesktopSize> {
 protected:
  void SetUp() override { ASSERT_TRUE(display_.Running()); }

  // The artwork's pixel (or one of its neighbours, which the scaling may
  // pick instead) is on the screen where the picture's (x, y) belongs.
  bool ShowsArtworkAt(int x, int y) const {
    int screenX = 0, screenY = 0;
    test::PictureToScreen(GetParam().width, GetParam().height, x, y, screenX, screenY);
    const std::uint32_t shown = test::ScreenPixel(screenX, screenY);
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (test::NearColour(shown, test::BmpPixel(test::kArtwork, x + dx, y + dy))) return true;
    return false;
  }
  bool PictureShown() const {
    for (const auto& sample : kSamples)
      if (!ShowsArtworkAt(sample[0], sample[1])) return false;
    return true;
  }
  // Moves the pointer as a mouse does, in small relative steps that the
  // confinement stops, and waits for it to come to rest at (x, y).
  static bool PointerComesToRest(int dx, int dy, int x, int y) {
    const int steps = std::max(std::abs(dx), std::abs(dy)) / 40 + 1;
    std::string moves = "xdotool";
    for (int i = 0; i < steps; ++i)
      moves += " mousemove_relative -- " + std::to_string(dx / steps) + " " + std::to_string(dy / steps);
    test::RunCommand(moves);
    return test::WaitUntil(
        [x, y] {
          int px = 0, py = 0;
          test::PointerPosition(px, py);
          return px == x && py == y;
        },
        3);
  }

  test::Xvfb display_{GetParam().width, GetParam().height};
};

TEST_P(FullScreen, CoversTheDesktopWithTheWholePictureLetterboxed) {
  const auto [width, height] = GetParam();
  test::Game game({kSong});
  const std::string window = test::WaitForWindow("Tonquill", test::kStartUpSeconds);
  ASSERT_FALSE(window.empty());
  EXPECT_EQ(test::RunCommand("xwininfo -id " + window + " | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} "
                             "/Width:/{w=$2} /Height:/{h=$2} END{print w\"x\"h\"+\"x\"+\"y}'"),
            std::to_string(width) + "x" + std::to_string(height) + "+0+0");
  EXPECT_TRUE(test::WaitUntil([this] { return PictureShown(); }, test::kStartUpSeconds));
  for (const auto& sample : kSamples) EXPECT_TRUE(ShowsArtworkAt(sample[0], sample[1])) << sample[0] << "," << sample[1];
  const test::Area picture = test::PictureArea(width, height);
  if (picture.left > 0) {
    EXPECT_EQ(test::ScreenPixel(picture.left / 2, height / 2), 0u) << "black bar on the left";
    EXPECT_EQ(test::ScreenPixel((picture.right + width) / 2, height / 2), 0u) << "black bar on the right";
  }
  display_.Screenshot(TONQUILL_BINARY_DIR "/full_screen_" + std::to_string(width) + ".png");
}

TEST_P(FullScreen, PointerReachesEveryCornerOfThePictureAndNoFurther) {
  const auto [width, height] = GetParam();
  test::Game game({kSong});
  ASSERT_TRUE(test::WaitUntil([this] { return PictureShown(); }, test::kStartUpSeconds));
  const test::Area picture = test::PictureArea(width, height);
  const int far = 2 * width;
  EXPECT_TRUE(PointerComesToRest(-far, -far, picture.left, picture.top)) << "top left";
  EXPECT_TRUE(PointerComesToRest(far, 0, picture.right - 1, picture.top)) << "top right";
  EXPECT_TRUE(PointerComesToRest(0, far, picture.right - 1, picture.bottom - 1)) << "bottom right";
  EXPECT_TRUE(PointerComesToRest(-far, 0, picture.left, picture.bottom - 1)) << "bottom left";
  EXPECT_TRUE(PointerComesToRest(far, -far, picture.right - 1, picture.top)) << "top right, across";
}

TEST_P(FullScreen, AClickOnExitArrivesAtExitsCentre) {
  const auto [width, height] = GetParam();
  test::Game game({kSong});
  ASSERT_TRUE(test::WaitUntil([this] { return PictureShown(); }, test::kStartUpSeconds));
  // EXIT, button 9 of the row, spans x 568..630 and y 180..210.
  int x = 0, y = 0;
  test::PictureToScreen(width, height, 599, 195, x, y);
  test::RunCommand("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
  const int press = game.WaitForInput("LeftDown", 5);
  ASSERT_GE(press, 0);
  EXPECT_EQ(game.InputLog()[static_cast<std::size_t>(press)], "LeftDown 599 195 0 0") << "x, y, key, letter";
  EXPECT_FALSE(test::WaitForMessageBox(test::kStartUpSeconds).empty()) << "EXIT asks before the game ends";
}

// With a window manager the window asks for the full-screen state, and the
// manager's full screen is the same desktop-sized window.
TEST_P(FullScreen, WithAWindowManagerTheWindowIsInTheFullScreenState) {
  const auto [width, height] = GetParam();
  test::WindowManager manager;
  ASSERT_TRUE(manager.Running());
  test::Game game({kSong});
  ASSERT_TRUE(test::WaitUntil([this] { return PictureShown(); }, test::kStartUpSeconds));
  const std::string window = test::WaitForWindow("Tonquill", test::kStartUpSeconds);
  EXPECT_NE(test::RunCommand("xprop -id " + window + " _NET_WM_STATE").find("_NET_WM_STATE_FULLSCREEN"), std::string::npos);
  const test::Area area = test::WindowArea(window);
  EXPECT_EQ(area.right - area.left, width);
  EXPECT_EQ(area.bottom - area.top, height);
  const test::Area picture = test::PictureArea(width, height);
  const int far = 2 * width;
  EXPECT_TRUE(PointerComesToRest(far, far, picture.right - 1, picture.bottom - 1)) << "bottom right";
  EXPECT_TRUE(PointerComesToRest(-far, -far, picture.left, picture.top)) << "top left";
}

INSTANTIATE_TEST_SUITE_P(DesktopSizes, FullScreen, ::testing::Values(DesktopSize{1024, 768}, DesktopSize{1920, 1080}),
                         [](const ::testing::TestParamInfo<DesktopSize>& size) {
                           return std::to_string(size.param.width) + "x" + std::to_string(size.param.height);
                         });

}  // namespace
