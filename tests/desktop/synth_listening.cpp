#include "synth_listening.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/desktop/synthesizer.h"

namespace test {

Wav ReadWav(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Wav wav;
  auto u32 = [&](std::size_t at) { std::uint32_t v; std::memcpy(&v, &bytes[at], 4); return v; };
  auto u16 = [&](std::size_t at) { std::uint16_t v; std::memcpy(&v, &bytes[at], 2); return v; };
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0) return wav;
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    const std::uint32_t size = u32(at + 4);
    if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && at + 16 <= bytes.size()) {
      wav.channels = u16(at + 10);
      wav.rate = static_cast<int>(u32(at + 12));
    } else if (std::memcmp(&bytes[at], "data", 4) == 0) {
      const std::size_t n = std::min<std::size_t>(size, bytes.size() - at - 8) / 2;
      wav.samples.resize(n);
      std::memcpy(wav.samples.data(), &bytes[at + 8], n * 2);
    }
    at += 8 + static_cast<std::size_t>(size) + (size & 1);
  }
  return wav;
}

double Rms(const Wav& wav, int fromMs, int toMs) {
  const auto perMs = [&](int ms) {
    return static_cast<std::size_t>(ms) * static_cast<std::size_t>(wav.rate) / 1000 * static_cast<std::size_t>(wav.channels);
  };
  const std::size_t from = perMs(fromMs);
  const std::size_t to = std::min(wav.samples.size(), perMs(toMs));
  double sum = 0;
  for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(wav.samples[i]) * wav.samples[i];
  return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

std::vector<std::int64_t> FindOnsets(const Wav& wav, int threshold, int quietMs) {
  std::vector<std::int64_t> onsets;
  if (wav.channels <= 0) return onsets;
  const std::int64_t quietFrames = static_cast<std::int64_t>(quietMs) * wav.rate / 1000;
  const auto frames = static_cast<std::int64_t>(wav.samples.size()) / wav.channels;
  std::int64_t lastLoud = -quietFrames - 1;
  for (std::int64_t frame = 0; frame < frames; ++frame) {
    bool loud = false;
    for (int channel = 0; channel < wav.channels; ++channel)
      if (std::abs(wav.samples[static_cast<std::size_t>(frame * wav.channels + channel)]) > threshold) loud = true;
    if (!loud) continue;
    if (frame - lastLoud > quietFrames) onsets.push_back(frame);
    lastLoud = frame;
  }
  return onsets;
}

platform::MidiOutDevice* OpenSynthesizerWhenReady() {
  if (platform::MidiOutDeviceCount() < 1) return nullptr;
  platform::MidiOutDevice* device = platform::OpenMidiOut(0);
  if (device == nullptr) return nullptr;
  for (int waited = 0; waited < 30000; waited += 5) {
    const auto state = platform::desktop::SynthesizerFontState();
    if (state == platform::desktop::SoundFontState::kReady) return device;
    if (state == platform::desktop::SoundFontState::kFailed) break;
    usleep(5000);
  }
  platform::CloseMidiOut(device);
  return nullptr;
}

}  // namespace test
