// SPEED and LOOP in the real game under Xvfb: at 50 % DEMO's measure panel
// moves at half the rate, and a loop marked with the LOOP button shows its
// range on the button and sends DEMO back to its first measure; F7 clears
// it as a third click does.

#include <chrono>
#include <string>

#include "game_window.h"

namespace {

using test::WaitUntil;

const std::string kSong = TONQUILL_SOURCE_DIR "/assets/songs/twinkle.mid";

class SpeedAndLoop : public test::GameWindowTest {
 protected:
  void SetUp() override { StartGame(kSong); }
  // The measure panel's three digits.
  std::string Measure() const { return Crop(17, 140, 42, 20); }
  // A button's face, inside its bevel.
  std::string Face(int n) const { return Crop(10 + 62 * n + 3, 183, 56, 24); }
  // Waits for the measure panel to change from `shown`; the new picture.
  std::string NextMeasure(const std::string& shown) const {
    EXPECT_TRUE(WaitUntil([&] { return Measure() != shown; }, 20)) << "the measure panel moves";
    return Measure();
  }
  // DEMO from the top: seconds between the measure panel's next two
  // changes (Twinkle's 4/4 at 100 beats per minute: 2.4 s at full speed).
  double SecondsPerMeasure() {
    const std::string stopped = Measure();
    ClickButton(4);
    const std::string first = NextMeasure(stopped);
    const std::string second = NextMeasure(first);
    const auto start = std::chrono::steady_clock::now();
    NextMeasure(second);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
};

TEST_F(SpeedAndLoop, HalfSpeedMovesTheMeasurePanelAtHalfTheRate) {
  const double full = SecondsPerMeasure();
  display_.Screenshot(TONQUILL_BINARY_DIR "/speed_100_demo.png");
  ClickButton(1);  // stop
  // 100 -> 90 -> 80 -> 70 -> 60 -> 50, each step seen on the face. A click
  // soon after the last one is the second press of a double click, which
  // the game ignores as it ignores every double click: it is clicked again.
  const std::string fullSpeedFace = Face(6);
  for (int step = 0; step < 5; ++step) {
    const std::string face = Face(6);
    bool stepped = false;
    for (int click = 0; click < 5 && !stepped; ++click) {
      ClickButton(6);
      stepped = WaitUntil([&] { return Face(6) != face; }, 3);
    }
    ASSERT_TRUE(stepped) << "step " << step;
  }
  EXPECT_NE(Face(6), fullSpeedFace);
  const double half = SecondsPerMeasure();
  display_.Screenshot(TONQUILL_BINARY_DIR "/speed_50_demo.png");
  // Seen through screenshots taken as fast as the machine allows: each
  // time may be late by a poll, far less than the 2.4 s it doubles by.
  EXPECT_GT(half / full, 1.6) << full << " s, then " << half << " s";
  EXPECT_LT(half / full, 2.5) << full << " s, then " << half << " s";
}

TEST_F(SpeedAndLoop, LoopShowsItsRangeAndSendsDemoBackToItsStart) {
  const std::string noLoop = Face(7);
  const std::string stopped = Measure();
  ClickButton(4);  // DEMO
  const std::string first = NextMeasure(stopped);
  ClickButton(7);  // the start, at the measure shown
  ASSERT_TRUE(WaitUntil([&] { return Face(7) != noLoop; }, 10)) << "the start is shown";
  const std::string startMarked = Face(7);
  const std::string loopStart = Measure();
  const std::string next = NextMeasure(loopStart);
  NextMeasure(next);
  ClickButton(7);  // the end, two measures on
  ASSERT_TRUE(WaitUntil([&] { return Face(7) != startMarked; }, 10)) << "the range is shown";
  display_.Screenshot(TONQUILL_BINARY_DIR "/loop_marked.png");
  EXPECT_NE(Face(7), noLoop);
  ASSERT_TRUE(WaitUntil([&] { return Measure() == loopStart; }, 20)) << "DEMO goes back to the loop's first measure";
  display_.Screenshot(TONQUILL_BINARY_DIR "/loop_back_at_start.png");
  // And again on the next pass.
  NextMeasure(loopStart);
  ASSERT_TRUE(WaitUntil([&] { return Measure() == loopStart; }, 20)) << "and on each pass";
  // F7 works LOOP too: a third mark clears the loop.
  EXPECT_TRUE(PlayKey("F7", [&] { return Face(7) == noLoop; })) << "F7 cleared the loop";
}

}  // namespace
