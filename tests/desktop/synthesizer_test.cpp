// The built-in synthesizer's recorder and its SoundFont loading, heard
// through WAV recordings.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/desktop/soundfont_loading.h"
#include "platform/desktop/synthesizer.h"
#include "platform/platform.h"
#include "desktop_kit.h"
#include "synth_listening.h"

namespace {

using platform::desktop::SoundFontState;

constexpr std::uint32_t kNoteOn = 0x7F3C90;      // middle C, full velocity, channel 1
constexpr std::uint32_t kNoteOff = 0x003C80;
constexpr std::uint32_t kAllSoundOff = 0x0078B0;
// A message that changes nothing audible: expression at its maximum on a
// channel that plays nothing.
constexpr std::uint32_t kFiller = 0x7F0BB2;
constexpr int kBlockFrames = 128;
// Louder than the reverb that lingers between the notes (the SoundFont's
// own reverb send stays whatever the controllers say), well below a note.
constexpr int kOnsetThreshold = 1000;

using test::SleepMs;

// Waits until TimeMs() reaches `ms` (on the wrapping clock).
void WaitUntilMs(std::uint32_t ms) {
  while (static_cast<std::int32_t>(platform::TimeMs() - ms) < 0) usleep(100);
}

// As dry a sound as the controllers allow, so a note ends soon after it is cut.
void SendDrySetup(platform::MidiOutDevice* device) {
  platform::SendMidiOutShort(device, 0x005BB0);  // reverb send 0
  platform::SendMidiOutShort(device, 0x005DB0);  // chorus send 0
  platform::SendMidiOutShort(device, 0x0000C0);  // piano, whose attack is immediate
}

struct SentNote {
  std::uint32_t ms;  // TimeMs() when it was sent
  bool exact;        // false when the clock ticked while it was being sent
};

// Plays notes at chosen moments while other messages arrive every
// `everyMs`, and checks that each note begins in the recording where the
// clock says it was sent, to within one block of frames.
void CheckRecorderClock(int everyMs) {
  const test::TemporaryFolder folder;
  const std::string wavPath = folder.Path() + "/clock.wav";
  platform::desktop::RouteSynthesizerToFile(wavPath);
  platform::MidiOutDevice* device = test::OpenSynthesizerWhenReady();
  ASSERT_NE(device, nullptr);
  SendDrySetup(device);

  // Notes at these moments after the first, each cut 120 ms later.
  const std::vector<std::uint32_t> noteAtMs = {0, 250, 500, 750, 1000, 1250};
  constexpr std::uint32_t kHeldMs = 120;
  std::vector<SentNote> sent;
  const std::uint32_t start = platform::TimeMs() + 1;
  for (std::uint32_t step = 0; step <= noteAtMs.back() + 200; ++step) {
    WaitUntilMs(start + step);
    bool noteHere = false;
    for (std::uint32_t at : noteAtMs) {
      if (step == at) {
        const std::uint32_t before = platform::TimeMs();
        platform::SendMidiOutShort(device, kNoteOn);
        sent.push_back({before, platform::TimeMs() == before});
        noteHere = true;
      } else if (step == at + kHeldMs) {
        platform::SendMidiOutShort(device, kNoteOff);
        platform::SendMidiOutShort(device, kAllSoundOff);
        noteHere = true;
      }
    }
    if (!noteHere && step % static_cast<std::uint32_t>(everyMs) == 0) platform::SendMidiOutShort(device, kFiller);
  }
  platform::CloseMidiOut(device);

  const test::Wav wav = test::ReadWav(wavPath);
  ASSERT_EQ(wav.rate, 44100);
  const std::vector<std::int64_t> onsets = test::FindOnsets(wav, kOnsetThreshold, 60);
  ASSERT_EQ(onsets.size(), noteAtMs.size()) << "one onset per note, every " << everyMs << " ms";
  // The first note fixes where the clock's moments fall in the file; every
  // later one must begin where its moment says. Both onsets wait for the
  // next block, so their distance is right to within one block, and to
  // within one millisecond more when the clock ticked during a send.
  for (std::size_t i = 1; i < sent.size(); ++i) {
    const double expectedFrames = (sent[i].ms - sent[0].ms) * 44.1;
    const double allowed = kBlockFrames + ((sent[i].exact && sent[0].exact) ? 1.0 : 45.0);
    EXPECT_NEAR(static_cast<double>(onsets[i] - onsets[0]), expectedFrames, allowed)
        << "note " << i << " sent " << (sent[i].ms - sent[0].ms) << " ms after the first, messages every " << everyMs
        << " ms";
  }
}

TEST(DesktopSynthesizer, RecorderKeepsStepWithTheClockAtEveryMessageRate) {
  for (int everyMs : {16, 5, 1}) {
    SCOPED_TRACE(everyMs);
    CheckRecorderClock(everyMs);
  }
}

TEST(DesktopSynthesizer, MessagesBeforeTheSoundFontIsReadyAreDroppedAndTheDeviceSaysItIsNotReady) {
  const test::TemporaryFolder folder;
  const std::string wavPath = folder.Path() + "/early.wav";
  platform::desktop::RouteSynthesizerToFile(wavPath);
  platform::desktop::HoldSoundFontLoading(true);
  ASSERT_GE(platform::MidiOutDeviceCount(), 1);
  platform::MidiOutDevice* device = platform::OpenMidiOut(0);
  ASSERT_NE(device, nullptr) << "the device exists while its font loads";
  EXPECT_EQ(platform::desktop::SynthesizerFontState(), SoundFontState::kLoading);
  EXPECT_FALSE(platform::WaitMidiOutReady(device, 50)) << "a device whose font loads cannot sound yet";
  SendDrySetup(device);
  platform::SendMidiOutShort(device, kNoteOn);  // would sound at the start of the file if it were kept
  const std::uint8_t gmReset[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  EXPECT_EQ(platform::SendMidiOutLong(device, gmReset, sizeof gmReset), 0);
  platform::desktop::HoldSoundFontLoading(false);
  ASSERT_TRUE(platform::WaitMidiOutReady(device, 30000)) << "the wait ends once the font is in";
  ASSERT_EQ(platform::desktop::SynthesizerFontState(), SoundFontState::kReady);

  // Messages that do not sound, then a note: the same device plays once
  // the font is in, and only what was sent since.
  SleepMs(300);
  SendDrySetup(device);
  platform::SendMidiOutShort(device, kFiller);
  SleepMs(300);
  platform::SendMidiOutShort(device, 0x7F4090);  // E above middle C, about 600 ms into the recording
  SleepMs(300);
  platform::CloseMidiOut(device);

  const test::Wav wav = test::ReadWav(wavPath);
  const std::vector<std::int64_t> onsets = test::FindOnsets(wav, kOnsetThreshold, 60);
  ASSERT_EQ(onsets.size(), 1u) << "only the note sent after the font was ready sounds";
  EXPECT_GT(onsets[0], 44100 / 2) << "the early note came out neither at the start nor with a later message";
}

TEST(DesktopSynthesizer, ClosingWhileTheSoundFontLoadsAbandonsIt) {
  const test::TemporaryFolder folder;
  platform::desktop::RouteSynthesizerToFile(folder.Path() + "/abandoned.wav");
  platform::desktop::HoldSoundFontLoading(true);
  ASSERT_GE(platform::MidiOutDeviceCount(), 1);
  platform::MidiOutDevice* device = platform::OpenMidiOut(0);
  ASSERT_NE(device, nullptr);
  platform::SendMidiOutShort(device, kNoteOn);
  platform::CloseMidiOut(device);  // must neither wait for the hold nor crash
  platform::desktop::HoldSoundFontLoading(false);

  // A later start loads the font afresh, and opening and closing at once
  // (as --list-ports does) is safe at any moment of the load.
  for (int round = 0; round < 5; ++round) {
    ASSERT_GE(platform::MidiOutDeviceCount(), 1);
    platform::CloseMidiOut(platform::OpenMidiOut(0));
  }
  const std::string wavPath = folder.Path() + "/afterwards.wav";
  platform::desktop::RouteSynthesizerToFile(wavPath);
  device = test::OpenSynthesizerWhenReady();
  ASSERT_NE(device, nullptr);
  platform::SendMidiOutShort(device, kNoteOn);
  SleepMs(300);
  platform::CloseMidiOut(device);
  EXPECT_GT(test::Rms(test::ReadWav(wavPath), 20, 250), 300.0);
}

// Sets $TONQUILL_SOUNDFONT for one test.
class SoundFontOverride {
 public:
  explicit SoundFontOverride(const std::string& path) { setenv("TONQUILL_SOUNDFONT", path.c_str(), 1); }
  ~SoundFontOverride() { unsetenv("TONQUILL_SOUNDFONT"); }
};

TEST(DesktopSynthesizer, AFileThatIsNotASoundFontIsRefused) {
  const test::TemporaryFolder folder;
  platform::desktop::RouteSynthesizerToFile(folder.Path() + "/none.wav");

  // Not a SoundFont at all: there is no synthesizer device.
  const std::string text = folder.Path() + "/notes.sf2";
  std::ofstream(text) << "these are not the samples you are looking for\n";
  {
    const SoundFontOverride font(text);
    EXPECT_FALSE(platform::desktop::SynthesizerAvailable());
  }

  // A SoundFont's header with nothing sensible after it: the device keeps
  // its number but stays silent, and says why.
  const std::string broken = folder.Path() + "/broken.sf2";
  {
    std::ofstream out(broken, std::ios::binary);
    out.write("RIFF\x10\x00\x00\x00sfbkLIST\xff\xff\xff\x7f", 20);
    for (int i = 0; i < 1000; ++i) out << "garbage ";
  }
  const SoundFontOverride font(broken);
  testing::internal::CaptureStderr();
  ASSERT_GE(platform::MidiOutDeviceCount(), 1);
  ASSERT_TRUE(platform::desktop::SynthesizerAvailable());
  platform::MidiOutDevice* device = platform::OpenMidiOut(0);
  ASSERT_NE(device, nullptr);
  for (int waited = 0; platform::desktop::SynthesizerFontState() == SoundFontState::kLoading && waited < 10000; waited += 5)
    SleepMs(5);
  EXPECT_EQ(platform::desktop::SynthesizerFontState(), SoundFontState::kFailed);
  platform::SendMidiOutShort(device, kNoteOn);  // dropped, not a crash
  platform::CloseMidiOut(device);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("broken.sf2 cannot be read"), std::string::npos);
}

}  // namespace
