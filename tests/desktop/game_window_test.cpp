// The game's window as a user meets it with no window manager: its icon,
// its picture shown again when uncovered or resized, the system cursor
// hidden over it, clicks counted in pairs, and keys told by their place and
// by the letter they type.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "desktop_kit.h"
#include "xvfb.h"

namespace {

const std::string kIcon = TONQUILL_SOURCE_DIR "/assets/MAIN.bmp";

class GameWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(display_.Running());
    // The pointer starts away from where the window will be.
    test::RunCommand("xdotool mousemove 5 5");
    game_.emplace(std::vector<std::string>{"-"});
    window_ = test::WaitForWindow("Tonquill", test::kStartUpSeconds);
    ASSERT_FALSE(window_.empty()) << game_->Output();
    ASSERT_TRUE(test::WaitUntil([this] { return ShowsThePicture(640, 480); }, 20));
  }
  bool ShowsThePicture(int width, int height) const { return test::WindowShowsTheArtwork(window_, width, height); }

  test::Xvfb display_;
  std::optional<test::Game> game_;
  std::string window_;
};

TEST_F(GameWindow, HasTheProgramsIcon) {
  // The property holds the width, the height, then ARGB pixels.
  std::istringstream icon(test::RunCommand("xprop -id " + window_ + " -f _NET_WM_ICON 32c ' $0 $1 $2' _NET_WM_ICON"));
  std::string name;
  unsigned long width = 0, height = 0, firstPixel = 0;
  icon >> name >> width >> height >> firstPixel;
  EXPECT_EQ(width, 32u);
  EXPECT_EQ(height, 32u);
  EXPECT_EQ(firstPixel, 0xFF000000u | test::BmpPixel(kIcon, 0, 0)) << std::hex << firstPixel;
}

TEST_F(GameWindow, ShowsItsPictureAgainWhenUncovered) {
  const test::Area area = test::WindowArea(window_);
  {
    test::CoveringWindow cover(area);
    ASSERT_TRUE(test::WaitUntil([&] { return test::ScreenPixel(area.left + 300, area.top + 100) == 0xFFFFFF; }, 10));
  }
  EXPECT_TRUE(test::WaitUntil([this] { return ShowsThePicture(640, 480); }, 5));
}

TEST_F(GameWindow, ShowsItsPictureAgainWhenResized) {
  test::RunCommand("xdotool windowsize " + window_ + " 800 540");
  EXPECT_TRUE(test::WaitUntil([this] { return ShowsThePicture(800, 540); }, 5));
}

TEST_F(GameWindow, TheSystemCursorIsHiddenOverTheWindow) {
  const test::Area area = test::WindowArea(window_);
  // Absolute moves, as a tablet or a remote desktop makes them (after
  // which a global pointer position can be stale); the last lies right and
  // below of the 640 x 480 pixels counted from the screen's corner, so only
  // the window's own place says it is inside.
  test::RunCommand("xdotool mousemove " + std::to_string(area.left + 320) + " " + std::to_string(area.top + 240));
  EXPECT_TRUE(test::WaitUntil(test::CursorIsBlank, 5)) << "hidden over the window";
  test::RunCommand("xdotool mousemove " + std::to_string(area.right + 40) + " " + std::to_string(area.bottom + 40));
  EXPECT_TRUE(test::WaitUntil([] { return !test::CursorIsBlank(); }, 5)) << "shown outside it";
  test::RunCommand("xdotool mousemove " + std::to_string(area.right - 10) + " " + std::to_string(area.bottom - 10));
  EXPECT_TRUE(test::WaitUntil(test::CursorIsBlank, 5)) << "hidden again near the window's far corner";
}

TEST_F(GameWindow, TheThirdClickOfAQuickRunIsAPressAgain) {
  const test::Area area = test::WindowArea(window_);
  test::RunCommand("xdotool mousemove " + std::to_string(area.left + 320) + " " + std::to_string(area.top + 240) +
                   " click --repeat 4 --delay 80 1");
  std::vector<std::string> presses;
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        presses.clear();
        for (const std::string& line : game_->InputLog())
          if (line.rfind("LeftDown", 0) == 0 || line.rfind("LeftDoubleClick", 0) == 0) presses.push_back(line.substr(0, line.find(' ')));
        return presses.size() >= 4;
      },
      10));
  EXPECT_EQ(presses, (std::vector<std::string>{"LeftDown", "LeftDoubleClick", "LeftDown", "LeftDoubleClick"}));
}

// The note keys are read by their place; a press also tells the letter
// the key types on the layout the X server has, for the name entry.
TEST_F(GameWindow, AKeyPressTellsItsPlaceAndTheLetterItTypes) {
  struct Case {
    const char* layout;
    const char* keysym;  // typed with the key that has it on that layout
    int place;           // the virtual key of its place (as on a US keyboard)
    int letter;
  };
  const Case cases[] = {
      {"us", "a", 'A', 'A'}, {"fr", "a", 'Q', 'A'}, {"fr", "q", 'A', 'Q'}, {"de", "z", 'Y', 'Z'},
      {"fr", "comma", 'M', 0},
  };
  std::size_t seen = game_->InputLog().size();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.layout) + " " + c.keysym);
    ASSERT_EQ(test::RunCommand(std::string("setxkbmap ") + c.layout + " && echo ok"), "ok");
    test::RunCommand("xdotool key --window " + window_ + " " + c.keysym);
    const std::string expected = "KeyDown 0 0 " + std::to_string(c.place) + " " + std::to_string(c.letter);
    std::vector<std::string> log;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
          log = game_->InputLog();
          for (std::size_t i = seen; i < log.size(); ++i)
            if (log[i].rfind("KeyDown", 0) == 0) return true;
          return false;
        },
        10));
    std::size_t i = seen;
    while (log[i].rfind("KeyDown", 0) != 0) ++i;
    EXPECT_EQ(log[i], expected);
    seen = log.size();
  }
}

}  // namespace
