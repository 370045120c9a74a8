// The game losing and taking back the focus on a real desktop: full screen
// with a window manager while another program comes to the front (the song
// stands still and comes back without a burst), and a kiosk with no window
// manager, where the game must take the keyboard back itself after its
// dialogs and take a click as activation.
#include <map>
#include <string>

#include "game_window.h"

namespace {

using test::RunCommand;
using test::WaitUntil;

const std::string kTwinkle = TONQUILL_SOURCE_DIR "/assets/songs/twinkle.mid";
const std::string kHymn = TONQUILL_SOURCE_DIR "/assets/songs/amazing_grace.mid";

// The counters' digits are 14 x 20 artwork cells at y 140: the measure's
// units at x 45, the beat's at x 91.
constexpr int kMeasureUnitsX = 45, kBeatUnitsX = 91, kCounterY = 140;

// A screen the picture's own size: the picture is not scaled, so a digit
// looks the same in every cell of the counters.
class AwayFromFullScreen : public test::GameWindowTest {
 protected:
  AwayFromFullScreen() : GameWindowTest(640, 480) {}
  std::string Digit(int x) const { return Crop(x, kCounterY, 14, 20); }
  bool GameHasTheKeyboard() const { return test::FocusedWindow() == window_; }
};

// DEMO on Twinkle (4/4 at 100 beats a minute, a measure of 2.4 s); at the
// start of measure 3, when all its parts have come in, another program
// takes the focus for 5 s. While away the recording falls silent; back in
// front the measure goes on from 3 to 4, and nothing sounds louder than the
// song did before.
TEST_F(AwayFromFullScreen, TheSongStandsStillAndComesBackWithoutABurst) {
  test::WindowManager manager;
  ASSERT_TRUE(manager.Running());
  ASSERT_NO_FATAL_FAILURE(StartGame(kTwinkle));
  ASSERT_TRUE(WaitUntil([&] { return GameHasTheKeyboard(); }, 10));
  // The beat counter shows 1, 2, 3 and 4 in turn: the digits, learnt.
  std::map<int, std::string> digits;
  std::string shown = Digit(kBeatUnitsX);
  const double demoAt = WavSeconds();
  ClickButton(4);  // DEMO
  for (int beat = 1; beat <= 4; ++beat) {
    ASSERT_TRUE(WaitUntil([&] { return Digit(kBeatUnitsX) != shown; }, 10)) << "beat " << beat;
    shown = digits[beat] = Digit(kBeatUnitsX);
  }
  ASSERT_TRUE(Digit(kMeasureUnitsX) == digits[1]);
  ASSERT_TRUE(WaitUntil([&] { return Digit(kMeasureUnitsX) == digits[3]; }, 10)) << "measure 3";

  const double leftAt = WavSeconds();
  {
    test::CoveringWindow other({400, 300, 600, 450}, true);
    ASSERT_TRUE(WaitUntil([&] { return test::FocusedWindow() == other.Id(); }, 10)) << "the other program has the keyboard";
    const double awayFrom = WavSeconds();
    ASSERT_TRUE(WaitUntil([&] { return WavSeconds() > awayFrom + 5; }, 30));
    EXPECT_TRUE(Digit(kMeasureUnitsX) == digits[3]) << "the frames stop";
  }
  ASSERT_TRUE(WaitUntil([&] { return GameHasTheKeyboard(); }, 10)) << "the game is in front again";
  const double backAt = WavSeconds();
  ASSERT_TRUE(WaitUntil([&] { return Digit(kMeasureUnitsX) != digits[3]; }, 10));
  EXPECT_TRUE(Digit(kMeasureUnitsX) == digits[4]) << "the measure goes on from 3 to 4";
  ASSERT_TRUE(WaitUntil([&] { return WavSeconds() > backAt + 3; }, 20));
  const std::string wav = wav_;
  ASSERT_TRUE(Quit());

  const int loudestBefore = test::PeakOfWav(wav, demoAt, leftAt);
  ASSERT_GT(loudestBefore, 1000) << "the song was heard before";
  // The song's own peaks differ by a fifth from run to run (how its notes
  // overlap moves with the frames); the events of 5 s sent at once reach
  // nearly twice the loudest.
  const int loudestAfter = test::PeakOfWav(wav, backAt, backAt + 3);
  EXPECT_LE(loudestAfter, loudestBefore * 5 / 4) << "a burst after the return";
  EXPECT_GT(loudestAfter, 1000) << "the song is heard again";
  // The notes are ended at once; their release fades within two seconds.
  EXPECT_LT(test::PeakOfWav(wav, leftAt + 2, backAt - 0.2), 100) << "notes drone on while away";
}

// No window manager (a kiosk): nothing hands the focus back when a window
// the game opened closes, and nothing gives it the focus on a click.
class Kiosk : public test::GameWindowTest {
 protected:
  bool GameHasTheKeyboard() const { return test::FocusedWindow() == window_; }
  bool DemoPlays() {
    const std::string counters = Crop(17, 140, 80, 20);
    ClickButton(4);
    return WaitUntil([&] { return Crop(17, 140, 80, 20) != counters; }, 20);
  }
};

TEST_F(Kiosk, AfterTheChooserTheGameHasTheKeyboardAndDemoPlaysTheChosenSong) {
  ASSERT_NO_FATAL_FAILURE(StartGame(kTwinkle));
  const std::string title = Crop(20, 95, 200, 16);
  const std::string dialog = OpenTheDialog();
  ASSERT_FALSE(dialog.empty());
  ASSERT_TRUE(ChooseInTheDialog(dialog, kHymn));
  ASSERT_TRUE(WaitUntil([&] { return Crop(20, 95, 200, 16) != title; }, 20)) << "the title panel shows the song";
  EXPECT_TRUE(WaitUntil([&] { return GameHasTheKeyboard(); }, 10)) << "the keyboard comes back";
  EXPECT_TRUE(DemoPlays()) << testing::PrintToString(game_->InputLog());
}

TEST_F(Kiosk, AfterAMessageBoxTheGameHasTheKeyboard) {
  ASSERT_NO_FATAL_FAILURE(StartGame(kTwinkle));
  RunCommand("xdotool key Escape");
  const std::string box = test::WaitForMessageBox(test::kStartUpSeconds);
  ASSERT_FALSE(box.empty());
  ASSERT_TRUE(WaitUntil([&] { return test::FocusedWindow() == box; }, 10));
  RunCommand("xdotool key Escape");  // No
  ASSERT_GE(game_->WaitForInput("BoxClosed no", 10), 0);
  EXPECT_TRUE(WaitUntil([&] { return GameHasTheKeyboard(); }, 10)) << "the keyboard comes back";
  EXPECT_TRUE(DemoPlays()) << testing::PrintToString(game_->InputLog());
}

// Another client took the focus and went away (the focus went nowhere): a
// click on the picture brings the game back and is taken.
TEST_F(Kiosk, AClickOnTheGameTakesTheFocus) {
  ASSERT_NO_FATAL_FAILURE(StartGame(kTwinkle));
  ASSERT_TRUE(WaitUntil([&] { return GameHasTheKeyboard(); }, 10));
  {
    test::CoveringWindow other({0, 0, 50, 50}, true);
    RunCommand("xdotool windowfocus --sync " + other.Id());
  }
  ASSERT_FALSE(GameHasTheKeyboard());
  EXPECT_TRUE(DemoPlays()) << testing::PrintToString(game_->InputLog());
  EXPECT_TRUE(WaitUntil([&] { return GameHasTheKeyboard(); }, 10));
}

}  // namespace
