// The built-in General MIDI synthesizer of the desktop backend: FluidSynth
// with the system's default GM SoundFont, playing through the sound server
// (or ALSA) with a short buffer, or recording into a WAV file.
//
// Whether it exists is decided at once, from the font's first bytes and an
// audio output that opens; the font itself is then read on a thread of its
// own, so the first picture never waits for it. Until it is ready the
// synthesizer takes messages and drops them: they would only come out
// late, all at once.
#pragma once

#include <cstdint>
#include <string>

namespace platform::desktop {

// Creates the synthesizer and its output on first use; false when there is
// no SoundFont or no audio output (then it is simply absent, without a
// message, and the font is never read).
bool SynthesizerAvailable();

// Opens and closes a user of the synthesizer (the mapper and device 0 share
// one instance); the first open starts reading the SoundFont, the last
// close abandons a read in progress and stops it.
bool OpenSynthesizer();
void CloseSynthesizer();

// How far the SoundFont has come: messages are heard only once it is
// ready; a font that cannot be read leaves the device silent.
enum class SoundFontState { kLoading, kReady, kFailed };
SoundFontState SynthesizerFontState();
// Waits at most timeoutMs while the SoundFont is being read; true when it
// is in and the synthesizer sounds.
bool WaitForSynthesizerFont(std::uint32_t timeoutMs);

void SynthesizerShort(std::uint32_t packed);
int SynthesizerSysEx(const std::uint8_t* bytes, std::uint32_t length);
// Every note and the sustain pedal off on all 16 channels, controllers reset.
void SynthesizerReset();

// The name shown for the device.
std::string SynthesizerName();
// How long after a message its sound is heard, in milliseconds: the
// stream's latency as the sound server last reported it, the buffer
// FluidSynth's own driver keeps full, or 0 for a recording.
double SynthesizerLatencyMs();

// Renders the synthesizer's audio into a WAV file, in step with the clock,
// instead of playing it (tests, recordings). Call before the synthesizer is
// created; $TONQUILL_SYNTH_WAV does the same for a whole run.
void RouteSynthesizerToFile(const std::string& wavPath);

}  // namespace platform::desktop
