#include "platform/desktop/synthesizer.h"

#include <fluidsynth.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/desktop/synth_recorder.h"

namespace platform::desktop {

// The one synthesizer instance, its audio output and how many devices use it.
static fluid_settings_t* settings = nullptr;
static fluid_synth_t* synth = nullptr;
static fluid_audio_driver_t* audioDriver = nullptr;
static bool recording = false;
static std::string wavPath;
static bool triedToCreate = false;
static int users = 0;

// A short buffer: two periods of 128 frames at 44.1 kHz, about 5.8 ms.
static constexpr int kSampleRate = 44100;
static constexpr int kPeriodSize = 128;
static constexpr int kPeriods = 2;
// Sound servers first, then the sound card directly.
static const char* const kAudioDrivers[] = {"pipewire", "pulseaudio", "alsa", "sdl2"};
static const char* const kSoundFonts[] = {
    "/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3"};

std::string FindSoundFont() {
  if (const char* chosen = std::getenv("TONQUILL_SOUNDFONT"); chosen != nullptr && chosen[0] != '\0')
    return access(chosen, R_OK) == 0 ? chosen : "";
  for (const char* path : kSoundFonts)
    if (access(path, R_OK) == 0) return path;
  return "";
}

void RouteSynthesizerToFile(const std::string& path) { wavPath = path; }

static void Destroy() {
  if (audioDriver) delete_fluid_audio_driver(audioDriver);
  if (recording) CloseRecorder();
  if (synth) delete_fluid_synth(synth);
  if (settings) delete_fluid_settings(settings);
  audioDriver = nullptr;
  recording = false;
  synth = nullptr;
  settings = nullptr;
}

static bool StartAudio() {
  if (!wavPath.empty()) {
    recording = OpenRecorder(settings, synth, wavPath);
    if (recording) StartRecorderClock();
    return recording;
  }
  for (const char* driver : kAudioDrivers) {
    fluid_settings_setstr(settings, "audio.driver", driver);
    audioDriver = new_fluid_audio_driver(settings, synth);
    if (audioDriver != nullptr) return true;
  }
  return false;
}

static bool Create() {
  triedToCreate = true;
  if (const char* routed = std::getenv("TONQUILL_SYNTH_WAV"); wavPath.empty() && routed != nullptr) wavPath = routed;
  const std::string soundFont = FindSoundFont();
  if (soundFont.empty()) return false;
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
  if (synth == nullptr || fluid_synth_sfload(synth, soundFont.c_str(), 1) == FLUID_FAILED || !StartAudio()) {
    Destroy();
    return false;
  }
  return true;
}

bool SynthesizerAvailable() {
  if (!triedToCreate) Create();
  return synth != nullptr;
}

bool OpenSynthesizer() {
  if (!SynthesizerAvailable()) return false;
  ++users;
  return true;
}

void CloseSynthesizer() {
  if (users > 0 && --users == 0) {
    Destroy();
    triedToCreate = false;
  }
}

void SynthesizerShort(std::uint32_t packed) {
  if (synth == nullptr) return;
  RecordUntilNow();
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
  if (synth == nullptr || length < 2) return 0;
  RecordUntilNow();
  // FluidSynth takes the data between F0h and F7h.
  const std::uint32_t inner = bytes[length - 1] == 0xF7 ? length - 2 : length - 1;
  return fluid_synth_sysex(synth, reinterpret_cast<const char*>(bytes + 1), static_cast<int>(inner), nullptr, nullptr,
                           nullptr, 0) == FLUID_OK ? 0 : 1;
}

void SynthesizerReset() {
  if (synth == nullptr) return;
  RecordUntilNow();
  for (int channel = 0; channel < 16; ++channel) {
    fluid_synth_cc(synth, channel, 64, 0);   // sustain off
    fluid_synth_cc(synth, channel, 121, 0);  // reset controllers
  }
  fluid_synth_all_sounds_off(synth, -1);
}

std::string SynthesizerName() { return "Built-in GM synthesizer"; }

double SynthesizerLatencyMs() {
  if (settings == nullptr) return 0.0;
  int periods = 0, periodSize = 0;
  double rate = 0.0;
  fluid_settings_getint(settings, "audio.periods", &periods);
  fluid_settings_getint(settings, "audio.period-size", &periodSize);
  fluid_settings_getnum(settings, "synth.sample-rate", &rate);
  return rate > 0 ? 1000.0 * periods * periodSize / rate : 0.0;
}

}  // namespace platform::desktop
