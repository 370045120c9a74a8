// The desktop's MIDI output: the built-in synthesizer heard through its file
// renderer, and the ALSA sequencer ports.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/desktop/sequencer.h"
#include "platform/desktop/synthesizer.h"
#include "platform/platform.h"
#include "xvfb.h"

namespace {

struct Wav {
  int rate = 0;
  int channels = 0;
  std::vector<std::int16_t> samples;  // interleaved
};

Wav ReadWav(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Wav wav;
  auto u32 = [&](std::size_t at) { std::uint32_t v; std::memcpy(&v, &bytes[at], 4); return v; };
  auto u16 = [&](std::size_t at) { std::uint16_t v; std::memcpy(&v, &bytes[at], 2); return v; };
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0) return wav;
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    const std::uint32_t size = u32(at + 4);
    if (std::memcmp(&bytes[at], "fmt ", 4) == 0) {
      wav.channels = u16(at + 10);
      wav.rate = static_cast<int>(u32(at + 12));
    } else if (std::memcmp(&bytes[at], "data", 4) == 0) {
      const std::size_t n = std::min<std::size_t>(size, bytes.size() - at - 8) / 2;
      wav.samples.resize(n);
      std::memcpy(wav.samples.data(), &bytes[at + 8], n * 2);
    }
    at += 8 + size + (size & 1);
  }
  return wav;
}

// Root mean square of the samples between two moments (milliseconds).
double Rms(const Wav& wav, int fromMs, int toMs) {
  const auto from = static_cast<std::size_t>(fromMs) * static_cast<std::size_t>(wav.rate) / 1000 * static_cast<std::size_t>(wav.channels);
  const auto to = std::min(wav.samples.size(), static_cast<std::size_t>(toMs) * static_cast<std::size_t>(wav.rate) / 1000 * static_cast<std::size_t>(wav.channels));
  double sum = 0;
  for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(wav.samples[i]) * wav.samples[i];
  return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

void SleepMs(int ms) { usleep(static_cast<useconds_t>(ms) * 1000); }

TEST(DesktopSynthesizer, NoteIsHeardAndResetSilencesIt) {
  ASSERT_FALSE(platform::desktop::FindSoundFont().empty()) << "a GM SoundFont must be installed";
  const std::string wavPath = TONQUILL_BINARY_DIR "/synthesizer_test.wav";
  unlink(wavPath.c_str());
  platform::desktop::RouteSynthesizerToFile(wavPath);

  ASSERT_GE(platform::MidiOutDeviceCount(), 1);
  std::string name;
  ASSERT_TRUE(platform::MidiOutName(0, name));
  EXPECT_EQ(name, "Built-in GM synthesizer");
  platform::MidiOutDevice* device = platform::OpenMidiOut(0);
  ASSERT_NE(device, nullptr);
  platform::MidiOutDevice* mapper = platform::OpenMidiOut(platform::kMidiMapper);
  ASSERT_NE(mapper, nullptr) << "the mapper is the same synthesizer";
  EXPECT_LE(platform::desktop::SynthesizerLatencyMs(), 10.0);

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

  const Wav wav = ReadWav(wavPath);
  ASSERT_GT(wav.rate, 0);
  ASSERT_GT(wav.samples.size(), static_cast<std::size_t>(wav.rate));
  const double sounding = Rms(wav, 50, 350);
  // Only the reverb's tail is left a few hundred ms after the reset.
  const double afterReset = Rms(wav, 1000, 1250);
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
