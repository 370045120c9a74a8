// The FILE button on the desktop: zenity opens over the game, a song typed
// into it loads (its title shows and DEMO plays it), and Cancel changes
// nothing.
#include <string>

#include "game_window.h"

namespace {

using test::RunCommand;
using test::WaitUntil;

const std::string kSong = TONQUILL_SOURCE_DIR "/assets/songs/amazing_grace.mid";

class OpenDialog : public test::GameWindowTest {
 protected:
  void SetUp() override {
    StartGame("-");  // a window, and no song yet
  }
};

TEST_F(OpenDialog, ATypedPathLoadsTheSongAndDemoPlaysIt) {
  const std::string title = Crop(20, 95, 200, 16);
  const std::string fileRaised = Crop(10, 180, 62, 30);
  const std::string dialog = OpenTheDialog();
  ASSERT_FALSE(dialog.empty()) << "FILE opens zenity";
  // Typing a path opens the chooser's location field; Return confirms it.
  RunCommand("xdotool windowfocus --sync " + dialog + " type --delay 20 '" + kSong + "'");
  RunCommand("xdotool windowfocus --sync " + dialog + " key Return");
  ASSERT_TRUE(WaitUntil([&] { return DialogGone(); }, 20));
  ASSERT_TRUE(WaitUntil([&] { return Crop(20, 95, 200, 16) != title; }, 20)) << "the title panel shows the song";
  // FILE rises again once the game has seen the button up: it takes clicks.
  ASSERT_TRUE(WaitUntil([&] { return Crop(10, 180, 62, 30) == fileRaised; }, 10));
  const double demoAt = WavSeconds();
  ClickButton(4);  // DEMO
  const std::string counters = Crop(17, 140, 80, 20);
  ASSERT_TRUE(WaitUntil([&] { return Crop(17, 140, 80, 20) != counters; }, 20)) << "it plays";
  // The hymn's first note comes after two beats: wait until the recording
  // holds three seconds of the demonstration.
  ASSERT_TRUE(WaitUntil([&] { return WavSeconds() > demoAt + 3; }, 20));
  const std::string wav = wav_;
  ASSERT_TRUE(Quit());
  EXPECT_GT(test::PeakOfWav(wav, 0, 1e9), 1000) << "the song was heard";
}

TEST_F(OpenDialog, CancelLeavesTheScreenAsItWas) {
  const std::string screen = Crop(0, 0, 640, 480);
  const std::string dialog = OpenTheDialog();
  ASSERT_FALSE(dialog.empty());
  RunCommand("xdotool windowfocus --sync " + dialog + " key Escape");
  ASSERT_TRUE(WaitUntil([&] { return DialogGone(); }, 20));
  // The FILE button rises again on the next frame; then all is as before.
  EXPECT_TRUE(WaitUntil([&] { return Crop(0, 0, 640, 480) == screen; }, 10));
  ClickButton(4);
  const std::string box = test::WaitForMessageBox(10);
  EXPECT_FALSE(box.empty()) << "still no song: DEMO says so";
  if (!box.empty()) RunCommand("xdotool windowfocus " + box + " key Return 2>/dev/null");
}

}  // namespace
