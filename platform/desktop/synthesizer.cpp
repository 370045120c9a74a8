#include "platform/desktop/synthesizer.h"

#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/desktop/pulse_output.h"
#include "platform/desktop/soundfont_loading.h"
#include "platform/desktop/synth_recorder.h"

namespace platform::desktop {

enum class Output { kNone, kFile, kPulse, kDriver };

// The one synthesizer instance, where it sounds, whether its SoundFont is
// loaded, and how many devices use it.
static fluid_settings_t* settings = nullptr;
static fluid_synth_t* synth = nullptr;
static fluid_audio_driver_t* audioDriver = nullptr;
static Output output = Output::kNone;
static std::string wavPath;
static std::string soundFontPath;
static std::atomic<SoundFontState> fontState{SoundFontState::kLoading};
static int users = 0;

// Two periods of 128 frames at 44.1 kHz for FluidSynth's own drivers, and
// the block of the WAV recorder.
static constexpr int kSampleRate = 44100;
static constexpr int kPeriodSize = 128;
static constexpr int kPeriods = 2;
// Without a PulseAudio server (or PipeWire's), FluidSynth's own drivers.
static const char* const kAudioDrivers[] = {"pipewire", "alsa", "sdl2"};

void RouteSynthesizerToFile(const std::string& path) { wavPath = path; }

// The stream's thread pulls the synthesizer's sound; silence until the
// SoundFont is in.
static void RenderForStream(float* samples, int frames) {
  if (fontState.load(std::memory_order_acquire) != SoundFontState::kReady) {
    std::fill(samples, samples + 2 * frames, 0.0f);
    return;
  }
  fluid_synth_write_float(synth, frames, samples, 0, 2, samples, 1, 2);
}

static bool OpenOutput() {
  if (!wavPath.empty()) {
    output = Output::kFile;
    return OpenRecorder(settings, synth, wavPath);
  }
  if (OpenPulseOutput(RenderForStream)) {
    output = Output::kPulse;
    return true;
  }
  for (const char* driver : kAudioDrivers) {
    fluid_settings_setstr(settings, "audio.driver", driver);
    audioDriver = new_fluid_audio_driver(settings, synth);
    if (audioDriver != nullptr) {
      output = Output::kDriver;
      return true;
    }
  }
  return false;
}

static void Destroy() {
  StopLoadingSoundFont();
  if (output == Output::kPulse) ClosePulseOutput();
  if (output == Output::kFile) CloseRecorder();
  if (audioDriver) delete_fluid_audio_driver(audioDriver);
  if (synth) delete_fluid_synth(synth);
  if (settings) delete_fluid_settings(settings);
  audioDriver = nullptr;
  synth = nullptr;
  settings = nullptr;
  output = Output::kNone;
  fontState = SoundFontState::kLoading;
}

static bool Create() {
  if (const char* routed = std::getenv("TONQUILL_SYNTH_WAV"); wavPath.empty() && routed != nullptr) wavPath = routed;
  soundFontPath = FindSoundFont();
  if (soundFontPath.empty() || !LooksLikeSoundFont(soundFontPath)) return false;
  // A machine without sound is not an error worth a word.
  for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
    fluid_set_log_function(level, nullptr, nullptr);
  settings = new_fluid_settings();
  fluid_settings_setnum(settings, "synth.sample-rate", kSampleRate);
  fluid_settings_setint(settings, "audio.period-size", kPeriodSize);
  fluid_settings_setint(settings, "audio.periods", kPeriods);
  fluid_settings_setint(settings, "synth.cpu-cores", 1);
  fluid_settings_setnum(settings, "synth.gain", 0.5);
  synth = new_fluid_synth(settings);
  // The output is opened before the font is read: without one, the font
  // would be read for nothing.
  if (synth == nullptr || !OpenOutput()) {
    Destroy();
    return false;
  }
  return true;
}

// Called on the loading thread when the SoundFont is in (or cannot be read).
static void SoundFontLoaded(bool loaded) {
  if (!loaded) {
    std::fprintf(stderr, "tonquill: the SoundFont %s cannot be read; the built-in synthesizer stays silent\n",
                 soundFontPath.c_str());
    fontState = SoundFontState::kFailed;
    return;
  }
  if (output == Output::kFile) StartRecorderClock();
  fontState.store(SoundFontState::kReady, std::memory_order_release);
}

// An absent synthesizer is looked for again at the next count: a sound
// server may have started meanwhile.
bool SynthesizerAvailable() {
  if (synth == nullptr) Create();
  return synth != nullptr;
}

bool OpenSynthesizer() {
  if (!SynthesizerAvailable()) return false;
  if (users++ == 0) StartLoadingSoundFont(synth, soundFontPath, SoundFontLoaded);
  return true;
}

void CloseSynthesizer() {
  if (users > 0 && --users == 0) Destroy();
}

SoundFontState SynthesizerFontState() { return fontState.load(std::memory_order_acquire); }

bool WaitForSynthesizerFont(std::uint32_t timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (SynthesizerFontState() == SoundFontState::kLoading && synth != nullptr) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return SynthesizerFontState() == SoundFontState::kReady;
}

// Readies the output for a message; false when the message is dropped
// because the SoundFont is not loaded yet.
static bool TakeMessage() {
  if (fontState.load(std::memory_order_acquire) != SoundFontState::kReady) return false;
  if (output == Output::kPulse) WakePulseOutput();
  return true;
}

void SynthesizerShort(std::uint32_t packed) {
  const RecorderHold hold;  // a recording takes the message at its moment
  if (!TakeMessage()) return;
  const int status = static_cast<int>(packed & 0xFF);
  const int channel = status & 0x0F;
  const int data1 = static_cast<int>((packed >> 8) & 0x7F);
  const int data2 = static_cast<int>((packed >> 16) & 0x7F);
  switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth, channel, data1); break;
    case 0x90: data2 == 0 ? fluid_synth_noteoff(synth, channel, data1) : fluid_synth_noteon(synth, channel, data1, data2); break;
    case 0xA0: fluid_synth_key_pressure(synth, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(synth, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(synth, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(synth, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(synth, channel, data1 | (data2 << 7)); break;
    default: break;  // system common and real-time bytes mean nothing to a synthesizer
  }
}

int SynthesizerSysEx(const std::uint8_t* bytes, std::uint32_t length) {
  const RecorderHold hold;
  if (length < 2 || !TakeMessage()) return 0;
  // FluidSynth takes the data between F0h and F7h.
  const std::uint32_t inner = bytes[length - 1] == 0xF7 ? length - 2 : length - 1;
  return fluid_synth_sysex(synth, reinterpret_cast<const char*>(bytes + 1), static_cast<int>(inner), nullptr, nullptr,
                           nullptr, 0) == FLUID_OK ? 0 : 1;
}

void SynthesizerReset() {
  const RecorderHold hold;
  if (!TakeMessage()) return;
  for (int channel = 0; channel < 16; ++channel) {
    fluid_synth_cc(synth, channel, 64, 0);   // sustain off
    fluid_synth_cc(synth, channel, 121, 0);  // reset controllers
  }
  fluid_synth_all_sounds_off(synth, -1);
}

std::string SynthesizerName() { return "Built-in GM synthesizer"; }

double SynthesizerLatencyMs() {
  switch (output) {
    case Output::kPulse: {
      // Until the server has answered, the buffer it granted.
      const double reported = PulseOutputLatencyMs();
      return reported >= 0 ? reported : PulseOutputBufferMs();
    }
    case Output::kDriver: return 1000.0 * kPeriods * kPeriodSize / kSampleRate;
    case Output::kFile:  // a recording takes each message at its moment
    case Output::kNone: break;
  }
  return 0.0;
}

}  // namespace platform::desktop
