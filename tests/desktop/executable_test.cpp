// The real tonquill executable, run as a user runs it.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

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

}  // namespace

namespace {

// Starts the game in the background and returns its process id.
pid_t StartGame(const std::string& arguments, const std::string& instanceDir) {
  const std::string command = "TONQUILL_INSTANCE_DIR=" + instanceDir + " TONQUILL_SYNTH_WAV=" TONQUILL_BINARY_DIR
                              "/game.wav " + kTonquill + " " + arguments + " >/dev/null 2>&1 & echo $!";
  return static_cast<pid_t>(std::stol(test::RunCommand(command)));
}

// Waits for a process that is not our child by polling /proc.
bool WaitGone(pid_t pid, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (kill(pid, 0) != 0) return true;
    usleep(100 * 1000);
  }
  return false;
}

TEST(Executable, WindowShowsTheArtworkAndEscapeAsksBeforeExiting) {
  test::Xvfb display;
  ASSERT_TRUE(display.Running());
  const std::string instanceDir = test::RunCommand("mktemp -d");
  // The exit status is written by the shell that waits for the game.
  const std::string status = instanceDir + "/status";
  test::RunCommand("(TONQUILL_INSTANCE_DIR=" + instanceDir + " TONQUILL_SYNTH_WAV=" TONQUILL_BINARY_DIR "/game.wav " +
                   kTonquill + " - >/dev/null 2>&1; echo $? > " + status + ") >/dev/null 2>&1 &");
  const std::string window = test::WaitForWindow("Tonquill", 20);
  ASSERT_FALSE(window.empty());
  EXPECT_EQ(test::RunCommand("xwininfo -id " + window + " | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w\"x\"h}'"),
            "640x480");
  usleep(500 * 1000);
  EXPECT_TRUE(display.Screenshot(TONQUILL_BINARY_DIR "/game_window.png"));
  // The artwork's silver title panel and its dark background are there.
  auto pixelAt = [&window](int x, int y) {
    const std::string line = test::RunCommand("import -window " + window + " -crop 1x1+" + std::to_string(x) + "+" +
                                              std::to_string(y) + " txt:- 2>/dev/null | tail -1");
    const std::size_t hash = line.find('#');
    return hash == std::string::npos ? -1L : std::stol(line.substr(hash + 1, 6), nullptr, 16);
  };
  const long silver = pixelAt(300, 100);
  for (int shift : {0, 8, 16}) EXPECT_NEAR((silver >> shift) & 0xFF, 0xC0, 10) << std::hex << silver;
  EXPECT_LT(pixelAt(300, 250) & 0xFF, 0x60) << "the dark background below the lyric bar";

  // A second copy asks this one to come forward and leaves at once.
  const pid_t second = StartGame("", instanceDir);
  EXPECT_TRUE(WaitGone(second, 10)) << "the second copy exits";
  EXPECT_EQ(test::RunCommand("xwininfo -root -tree | grep -c '\"Tonquill\"'"), "1") << "still one window";

  test::RunCommand("xdotool windowfocus " + window + " key Escape");
  const std::string box = test::WaitForWindow("メッセージ", 20);
  ASSERT_FALSE(box.empty()) << "Escape brings the question";
  for (int i = 0; i < 50 && test::RunCommand("cat " + status + " 2>/dev/null").empty(); ++i) {
    test::RunCommand("xdotool windowfocus " + box + " key Return 2>/dev/null");
    usleep(200 * 1000);
  }
  EXPECT_EQ(test::RunCommand("cat " + status), "0") << "Yes ends the game with status 0";
  test::RunCommand("rm -rf " + instanceDir);
}

}  // namespace
