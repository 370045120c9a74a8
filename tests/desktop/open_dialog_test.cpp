// The FILE button on the desktop: zenity opens over the game, a song typed
// into it loads (its title shows and DEMO plays it), and Cancel changes
// nothing.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "game_window.h"

namespace {

using test::RunCommand;
using test::WaitUntil;

const std::string kSong = TONQUILL_SOURCE_DIR "/assets/songs/amazing_grace.mid";

// A song the chooser lists among its recent files, as it does on any
// machine where a file was chosen before: it opens on that list when the
// game gives it no folder to start in.
void RememberARecentFile() {
  const std::string folder = std::string(std::getenv("XDG_DATA_HOME"));
  std::filesystem::create_directories(folder);
  std::ofstream(folder + "/recently-used.xbel")
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<xbel version=\"1.0\" xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
         "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
         "  <bookmark href=\"file://" << kSong << "\" added=\"2020-01-01T00:00:00Z\" modified=\"2020-01-01T00:00:00Z\"\n"
         "            visited=\"2020-01-01T00:00:00Z\">\n"
         "    <info><metadata owner=\"http://freedesktop.org\"><mime:mime-type type=\"audio/midi\"/>\n"
         "      <bookmark:applications><bookmark:application name=\"zenity\" exec=\"zenity\"\n"
         "        modified=\"2020-01-01T00:00:00Z\" count=\"1\"/></bookmark:applications></metadata></info>\n"
         "  </bookmark>\n"
         "</xbel>\n";
}

class OpenDialog : public test::GameWindowTest {
 protected:
  void SetUp() override { RememberARecentFile(); }
  // True when the dialog was told a folder to start in.
  static bool StartsInAFolder(const std::string& dialog) {
    return RunCommand("tr '\\0' '\\n' < /proc/$(xdotool getwindowpid " + dialog + ")/cmdline | grep -c '^--filename='") == "1";
  }
};

// The game from the build folder opens the chooser in the songs that came
// with it; a copy of the game with no songs beside it leaves the chooser on
// its recent files. A path typed into either loads.
TEST_F(OpenDialog, ATypedPathLoadsTheSongAndDemoPlaysIt) {
  test::TemporaryFolder elsewhere;
  std::filesystem::copy_file(program_, elsewhere.Path() + "/tonquill");
  for (const std::string& program : {program_, elsewhere.Path() + "/tonquill"}) {
    SCOPED_TRACE(program);
    program_ = program;
    ASSERT_NO_FATAL_FAILURE(StartGame("-"));  // a window, and no song yet
    const std::string title = Crop(20, 95, 200, 16);
    const std::string fileRaised = Crop(10, 180, 62, 30);
    const std::string dialog = OpenTheDialog();
    ASSERT_FALSE(dialog.empty()) << "FILE opens zenity";
    EXPECT_EQ(StartsInAFolder(dialog), program == TONQUILL_BINARY_DIR "/tonquill");
    if (!ChooseInTheDialog(dialog, kSong)) {
      display_.Screenshot(TONQUILL_BINARY_DIR "/open_dialog_failure.png");
      FAIL() << "the chooser did not take the path; the screen is in open_dialog_failure.png";
    }
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
}

TEST_F(OpenDialog, CancelLeavesTheScreenAsItWas) {
  ASSERT_NO_FATAL_FAILURE(StartGame("-"));
  const std::string screen = Crop(0, 0, 640, 480);
  const std::string dialog = OpenTheDialog();
  ASSERT_FALSE(dialog.empty());
  RunCommand("xdotool windowfocus --sync " + dialog + " key Escape");
  ASSERT_TRUE(WaitUntil([&] { return DialogGone(); }, 20));
  // The FILE button rises again on the next frame; then all is as before.
  EXPECT_TRUE(WaitUntil([&] { return Crop(0, 0, 640, 480) == screen; }, 10));
  ClickButton(4);
  const std::string box = test::WaitForMessageBox(test::kStartUpSeconds);
  EXPECT_FALSE(box.empty()) << "still no song: DEMO says so";
  if (!box.empty()) RunCommand("xdotool windowfocus " + box + " key Return 2>/dev/null");
}

}  // namespace
