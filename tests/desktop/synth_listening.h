// Hearing the built-in synthesizer in tests: its WAV recordings read back,
// onsets found in them, and a device opened once its SoundFont is in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace test {

struct Wav {
  int rate = 0;
  int channels = 0;
  std::vector<std::int16_t> samples;  // interleaved
};

Wav ReadWav(const std::string& path);

// Root mean square of the samples between two moments (milliseconds).
double Rms(const Wav& wav, int fromMs, int toMs);

// The frames at which a sound louder than `threshold` begins after at least
// `quietMs` of nothing louder.
std::vector<std::int64_t> FindOnsets(const Wav& wav, int threshold, int quietMs);

// Counts the devices and opens device 0, the built-in synthesizer, then
// waits (at most 30 s) until its SoundFont is loaded; nullptr on failure.
platform::MidiOutDevice* OpenSynthesizerWhenReady();

}  // namespace test
