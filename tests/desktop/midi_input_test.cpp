// A MIDI keyboard reaching the real game through the ALSA sequencer: another
// sequencer client (aplaymidi) plays a note into the game's input port and
// the built-in synthesizer sounds it. A machine without a sequencer has no
// input and says nothing about it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "game_window.h"
#include "platform/platform.h"
#include <fstream>

namespace {

using test::RunCommand;
using test::WaitUntil;

bool MachineHasASequencer() {
  struct stat info{};
  return stat("/dev/snd/seq", &info) == 0;
}

TEST(DesktopMidiInput, WithoutASequencerThereIsNoInputAndNoMessage) {
  if (MachineHasASequencer()) GTEST_SKIP() << "this machine has a sequencer: the game test below covers it";
  testing::internal::CaptureStderr();
  platform::OpenMidiInput();
  platform::MidiInputEvent event;
  EXPECT_FALSE(platform::PollMidiInput(event));
  EXPECT_EQ(platform::MidiInputCount(), 0);
  platform::CloseMidiInput();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(RunCommand("TONQUILL_SYNTH_WAV=/dev/null " TONQUILL_BINARY_DIR "/tonquill --list-ports 2>&1 | grep -c '^in '"),
            "0");
}

class DesktopMidiKeyboard : public test::GameWindowTest {};

TEST_F(DesktopMidiKeyboard, ANoteFromAnotherClientIsHeard) {
  if (!MachineHasASequencer()) {
    std::printf("No ALSA sequencer on this machine (/dev/snd/seq): the MIDI keyboard test cannot run here.\n");
    GTEST_SKIP() << "no ALSA sequencer on this machine";
  }
  ASSERT_NO_FATAL_FAILURE(StartGame("-"));
  std::string address;
  ASSERT_TRUE(WaitUntil([&] {
    address = RunCommand("aplaymidi -l | awk '/Tonquill keyboard input/{print $1}'");
    return !address.empty();
  }, 10)) << "the game's input port";
  // One C4 of a second: a header and one track, written out by hand.
  const unsigned char bytes[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0,
                                 'M', 'T', 'r', 'k', 0, 0, 0, 13, 0, 0x90, 60, 110, 0x87, 0x40, 0x80, 60, 0, 0, 0xFF, 0x2F, 0};
  const std::string song = folder_ + "/note.mid";
  std::ofstream(song, std::ios::binary).write(reinterpret_cast<const char*>(bytes), sizeof bytes);
  ASSERT_EQ(RunCommand("aplaymidi -p " + address + " " + song + " && echo played"), "played");
  const std::string wav = wav_;
  ASSERT_TRUE(Quit());
  EXPECT_GT(test::PeakOfWav(wav, 0, 1e9), 1000) << "the note was heard";
}

}  // namespace
