// Second copies of the real game: the song one is started with opens in the
// running copy, and none of them waits while that copy has a dialog up.
#include <string>

#include "game_window.h"

namespace {

using test::RunCommand;
using test::WaitUntil;

const std::string kSongs = TONQUILL_SOURCE_DIR "/assets/songs";

class SecondCopy : public test::GameWindowTest {
 protected:
  // Runs `tonquill ARGUMENTS` from `folder` beside the running game; its
  // exit status (124 when it was still running after the time a program
  // may take to start on a busy machine).
  int RunSecondCopy(const std::string& folder, const std::string& arguments) const {
    return std::stoi(RunCommand("cd '" + folder + "' && TONQUILL_INSTANCE_DIR='" + folder_ + "' timeout " +
                                std::to_string(test::kStartUpSeconds) + " " + program_ + " " + arguments +
                                " >/dev/null 2>&1; echo $?"));
  }
  std::string Title() const { return Crop(20, 95, 200, 16); }
  std::string Counters() const { return Crop(17, 140, 80, 20); }
};

TEST_F(SecondCopy, ItsSongOpensInTheRunningCopyAfterTheRunStops) {
  // A window with a song: it plays at once.
  ASSERT_NO_FATAL_FAILURE(StartGameWithArguments({"-", kSongs + "/twinkle.mid"}, {}));
  const std::string twinkle = Title();
  const std::string counters = Counters();
  ClickButton(4);  // DEMO
  ASSERT_TRUE(WaitUntil([&] { return Counters() != counters; }, 20)) << "the song given after '-' plays";

  // Started from the songs' folder with a relative path, as a file manager
  // or a terminal there would.
  EXPECT_EQ(RunSecondCopy(kSongs, "amazing_grace.mid"), 0);
  EXPECT_TRUE(WaitUntil([&] { return Title() != twinkle; }, 20)) << "the title panel shows the second copy's song";
  EXPECT_EQ(RunCommand("xwininfo -root -tree | grep -c '\"Tonquill\"'"), "1") << "still one window";
  // Stopped: DEMO now plays the new song from its start. (A blank button
  // first, so that the click cannot pair with the last one on DEMO.)
  const std::string stopped = Counters();
  ClickButton(6);
  ClickButton(4);
  EXPECT_TRUE(WaitUntil([&] { return Counters() != stopped; }, 20)) << "DEMO starts again: the run was stopped";
}

TEST_F(SecondCopy, NoneWaitsWhileTheFileChooserIsUp) {
  test::WindowManager manager;
  ASSERT_TRUE(manager.Running());
  ASSERT_NO_FATAL_FAILURE(StartGameWithArguments({"-"}, {"LANG=C.UTF-8"}));
  const std::string empty = Title();
  const std::string dialog = OpenTheDialog();
  ASSERT_FALSE(dialog.empty());
  // The chooser bears the game's title for it, at a size that fits the
  // screen (1024 x 768): GTK's own choice here is larger than the screen.
  EXPECT_EQ(RunCommand("xdotool getwindowname " + dialog), "Open a song");
  EXPECT_TRUE(WaitUntil(
      [&] {
        const test::Area area = test::WindowArea(dialog);
        return area.right - area.left <= 1024 * 9 / 10 && area.bottom - area.top <= 768 * 9 / 10;
      },
      10))
      << RunCommand("xwininfo -id " + dialog + " | grep -E 'Width|Height'");
  // More copies than the running copy's socket can queue unanswered.
  for (int copy = 0; copy < 24; ++copy) ASSERT_EQ(RunSecondCopy(kSongs, "- amazing_grace.mid"), 0) << "copy " << copy;
  RunCommand("xdotool windowfocus --sync " + dialog + " key Escape");
  ASSERT_TRUE(WaitUntil([&] { return DialogGone(); }, 20));
  EXPECT_TRUE(WaitUntil([&] { return Title() != empty; }, 20)) << "the song asked for loads once it is gone";
}

}  // namespace
