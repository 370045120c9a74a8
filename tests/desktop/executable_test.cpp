// The real tonquill executable, run as a user runs it.
#include <gtest/gtest.h>

#include "desktop_kit.h"
#include "xvfb.h"

namespace {

const std::string kTonquill = TONQUILL_BINARY_DIR "/tonquill";
const std::string kSong = TONQUILL_SOURCE_DIR "/assets/songs/twinkle.mid";

TEST(Executable, ListsThePortsItWouldNumber) {
  const std::string wav = " TONQUILL_SYNTH_WAV=" TONQUILL_BINARY_DIR "/list_ports.wav ";
  EXPECT_EQ(test::RunCommand("env" + wav + kTonquill + " --list-ports " + kSong + " 2>&1"),
            "0  Mapper: Built-in GM synthesizer\n1  Built-in GM synthesizer");
  // Without a song to probe there is no mapper.
  EXPECT_EQ(test::RunCommand("cd /tmp && env" + wav + kTonquill + " --list-ports 2>&1"), "0  Built-in GM synthesizer");
  // No SoundFont and no sequencer: no ports, and no noise about it.
  EXPECT_EQ(test::RunCommand("env TONQUILL_SOUNDFONT=/nonexistent.sf2 " + kTonquill + " --list-ports 2>&1"),
            "no MIDI output ports: the game plays silently");
}

TEST(Executable, HelpAndVersion) {
  EXPECT_NE(test::RunCommand(kTonquill + " --help").find("--list-ports"), std::string::npos);
  EXPECT_EQ(test::RunCommand(kTonquill + " --version").rfind("tonquill ", 0), 0u);
}

TEST(Executable, WithoutADisplayItSaysSoAndEnds) {
  for (const char* arguments : {"-", TONQUILL_SOURCE_DIR "/assets/songs/twinkle.mid"}) {
    SCOPED_TRACE(arguments);
    test::Game game({arguments}, {"DISPLAY=", "WAYLAND_DISPLAY="});
    EXPECT_EQ(game.WaitForExit(5), 1);
    EXPECT_NE(game.Output().find("cannot open a window"), std::string::npos) << game.Output();
  }
}

TEST(Executable, WindowShowsTheArtworkAndEscapeAsksBeforeExiting) {
  test::Xvfb display;
  ASSERT_TRUE(display.Running());
  test::Game game({"-"});
  const std::string window = test::WaitForWindow("Tonquill", test::kStartUpSeconds);
  ASSERT_FALSE(window.empty());
  EXPECT_EQ(test::RunCommand("xwininfo -id " + window + " | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w\"x\"h}'"),
            "640x480");
  EXPECT_TRUE(test::WaitUntil([&window] { return test::WindowShowsTheArtwork(window); }, test::kStartUpSeconds));
  EXPECT_TRUE(display.Screenshot(TONQUILL_BINARY_DIR "/game_window.png"));

  // A second copy asks this one to come forward and leaves at once.
  test::Game second({}, {"TONQUILL_INSTANCE_DIR=" + game.Folder()});
  EXPECT_EQ(second.WaitForExit(10), 0) << "the second copy exits";
  EXPECT_EQ(test::RunCommand("xwininfo -root -tree | grep -c '\"Tonquill\"'"), "1") << "still one window";

  test::RunCommand("xdotool windowfocus " + window + " key Escape");
  const std::string box = test::WaitForMessageBox(test::kStartUpSeconds);
  ASSERT_FALSE(box.empty()) << "Escape brings the question";
  ASSERT_TRUE(test::WaitUntil([&box] { return test::FocusedWindow() == box; }, 10)) << "the question has the keyboard";
  test::RunCommand("xdotool key Return");
  EXPECT_EQ(game.WaitForExit(10), 0) << "Yes ends the game with status 0";
}

}  // namespace
