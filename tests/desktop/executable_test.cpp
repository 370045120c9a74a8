// The real tonquill executable, run as a user runs it.
#include <gtest/gtest.h>

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
