// The built-in General MIDI synthesizer of the desktop backend: FluidSynth
// with the system's default GM SoundFont, playing through the sound server
// or ALSA with a short buffer.
#pragma once

#include <cstdint>
#include <string>

namespace platform::desktop {

// Creates the synthesizer on first use; false when there is no SoundFont or
// no audio output (then it is simply absent, without a message).
bool SynthesizerAvailable();

// Opens and closes a user of the synthesizer (the mapper and device 0 share
// one instance); the last close stops it.
bool OpenSynthesizer();
void CloseSynthesizer();

void SynthesizerShort(std::uint32_t packed);
int SynthesizerSysEx(const std::uint8_t* bytes, std::uint32_t length);
// Every note and the sustain pedal off on all 16 channels, controllers reset.
void SynthesizerReset();

// The name shown for the device.
std::string SynthesizerName();
// The latency of the audio buffer the driver accepted, in milliseconds.
double SynthesizerLatencyMs();

// Renders the synthesizer's audio into a WAV file, in step with the clock,
// instead of playing it (tests, recordings). Call before the synthesizer is
// created; $TONQUILL_SYNTH_WAV does the same for a whole run.
void RouteSynthesizerToFile(const std::string& wavPath);

// The SoundFont the synthesizer loads: $TONQUILL_SOUNDFONT when set, else
// the first of Debian's GM SoundFonts that exists; "" when none does.
std::string FindSoundFont();

}  // namespace platform::desktop
