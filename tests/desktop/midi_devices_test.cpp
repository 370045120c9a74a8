// The desktop's MIDI output: the built-in synthesizer heard through its file
// renderer, and the ALSA sequencer ports.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/desktop/sequencer.h"
#include "platform/desktop/soundfont_loading.h"
#include "platform/desktop/synthesizer.h"
#include "platform/platform.h"
#include "desktop_kit.h"
#include "synth_listening.h"
#include "xvfb.h"

namespace {

using test::SleepMs;

TEST(DesktopSynthesizer, NoteIsHeardAndResetSilencesIt) {
  ASSERT_FALSE(platform::desktop::FindSoundFont().empty()) << "a GM SoundFont must be installed";
  const test::TemporaryFolder folder;
  const std::string wavPath = folder.Path() + "/synthesizer.wav";
  platform::desktop::RouteSynthesizerToFile(wavPath);

  platform::MidiOutDevice* device = test::OpenSynthesizerWhenReady();
  ASSERT_NE(device, nullptr);
  std::string name;
  ASSERT_TRUE(platform::MidiOutName(0, name));
  EXPECT_EQ(name, "Built-in GM synthesizer");
  platform::MidiOutDevice* mapper = platform::OpenMidiOut(platform::kMidiMapper);
  ASSERT_NE(mapper, nullptr) << "the mapper is the same synthesizer";
  EXPECT_EQ(platform::MidiOutLatencyMs(device), 0) << "a recording takes each message at its moment";

  const std::uint8_t gmReset[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  EXPECT_EQ(platform::SendMidiOutLong(device, gmReset, sizeof gmReset), 0);
  EXPECT_TRUE(platform::WaitMidiOutLongDone(device, 1000));
  platform::SendMidiOutShort(device, 0x00C0);           // program 0 on channel 1
  platform::SendMidiOutShort(device, 0x643C90);          // note-on 60, velocity 100 (0 ms)
  SleepMs(400);
  platform::SendMidiOutShort(mapper, 0x003C80);          // note-off through the mapper (400 ms)
  platform::SendMidiOutShort(device, 0x7F4090);          // a second note, held (400 ms)
  SleepMs(200);
  platform::ResetMidiOut(device);                        // (600 ms)
  SleepMs(700);
  platform::CloseMidiOut(mapper);
  platform::CloseMidiOut(device);                        // renders up to now and closes the file

  const test::Wav wav = test::ReadWav(wavPath);
  ASSERT_GT(wav.rate, 0);
  ASSERT_GT(wav.samples.size(), static_cast<std::size_t>(wav.rate));
  const double sounding = test::Rms(wav, 50, 350);
  // Only the reverb's tail is left a few hundred ms after the reset.
  const double afterReset = test::Rms(wav, 1000, 1250);
  EXPECT_GT(sounding, 300.0) << "the note is heard";
  EXPECT_LT(afterReset, sounding / 100) << "reset leaves silence";
}

TEST(DesktopSequencer, PortsOfTheSequencer) {
  struct stat info{};
  if (stat("/dev/snd/seq", &info) != 0) {
    // No sequencer on this machine: no devices, no message.
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::desktop::SequencerDestinationCount(), 0);
    EXPECT_EQ(platform::desktop::OpenSequencerLink(0), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    return;
  }
  // A sequencer exists: aseqdump's port must receive a note-on through it.
  const std::string log = TONQUILL_BINARY_DIR "/aseqdump.log";
  ASSERT_EQ(std::system(("aseqdump > " + log + " 2>&1 & echo $! > " + log + ".pid").c_str()), 0);
  SleepMs(500);
  int index = -1;
  const int count = platform::desktop::SequencerDestinationCount();
  for (int i = 0; i < count; ++i) {
    std::string name;
    platform::desktop::SequencerDestinationName(i, name);
    if (name.find("aseqdump") != std::string::npos) index = i;
  }
  ASSERT_GE(index, 0) << "aseqdump's port is listed";
  platform::desktop::SequencerLink* link = platform::desktop::OpenSequencerLink(index);
  ASSERT_NE(link, nullptr);
  platform::desktop::SequencerShort(link, 0x643C90);
  SleepMs(300);
  platform::desktop::CloseSequencerLink(link);
  std::system(("kill $(cat " + log + ".pid)").c_str());
  EXPECT_NE(test::RunCommand("cat " + log).find("Note on"), std::string::npos);
}

}  // namespace
