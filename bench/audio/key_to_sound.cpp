// Measures the key-to-sound time of the built-in synthesizer: the time from
// the moment a note-on leaves the program (the same call the game's frame
// makes) to the moment its sound reaches a recorder of the sound server's
// monitor. The monitor's samples arrive on standard input as raw signed
// 16-bit little-endian stereo (parec --raw); each read is stamped on
// arrival, so a figure includes the recorder's delivery of one fragment.
//
//   parec --raw ... | key_to_sound RUNNING_NOTES IDLE_NOTES IDLE_WAIT_MS
//
// prints one line per note: "running <ms>" for notes played while the
// output is busy, "idle <ms>" for a note after IDLE_WAIT_MS of silence that
// found the output paused ("idle-but-running" when it was not), and -1 for
// a note that was not heard within 600 ms.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/desktop/pulse_output.h"
#include "platform/desktop/synthesizer.h"
#include "platform/platform.h"

namespace {

using Clock = std::chrono::steady_clock;

// A sound louder than this (of 32767) counts as the note: the null sink adds
// no noise, and the previous note is silenced before the next is sent.
constexpr int kLoud = 300;
// Always the same key, whose piano sample starts at once.
constexpr int kNote = 60;

std::mutex lock;
Clock::time_point lastLoudArrival{};  // arrival of the latest loud chunk
std::atomic<bool> inputEnded{false};

void ReadMonitor() {
  static std::int16_t samples[4096];
  for (;;) {
    const ssize_t got = read(0, samples, sizeof samples);
    if (got <= 0) break;
    const Clock::time_point arrival = Clock::now();
    bool loud = false;
    for (ssize_t i = 0; i < got / 2; ++i)
      if (std::abs(samples[i]) > kLoud) loud = true;
    if (loud) {
      std::lock_guard<std::mutex> hold(lock);
      lastLoudArrival = arrival;
    }
  }
  inputEnded = true;
}

Clock::time_point LastLoud() {
  std::lock_guard<std::mutex> hold(lock);
  return lastLoudArrival;
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Waits until nothing loud has arrived for `quietMs`.
bool WaitQuiet(int quietMs, int timeoutMs) {
  const Clock::time_point giveUp = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < giveUp && !inputEnded) {
    if (Clock::now() - LastLoud() > std::chrono::milliseconds(quietMs)) return true;
    SleepMs(5);
  }
  return false;
}

// Plays one note and returns the milliseconds until it was heard, or -1.
double MeasureNote(platform::MidiOutDevice* synth, int note) {
  const Clock::time_point sent = Clock::now();
  platform::SendMidiOutShort(synth, 0x7F0090u | static_cast<std::uint32_t>(note) << 8);
  double result = -1;
  for (int waited = 0; waited < 3000 && !inputEnded; ++waited) {
    const Clock::time_point heard = LastLoud();
    if (heard > sent) {
      result = std::chrono::duration<double, std::milli>(heard - sent).count();
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  platform::SendMidiOutShort(synth, 0x000080u | static_cast<std::uint32_t>(note) << 8);
  platform::SendMidiOutShort(synth, 0x0078B0u);  // all sound off: the next note starts from silence
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: parec --raw ... | %s RUNNING_NOTES IDLE_NOTES IDLE_WAIT_MS\n", argv[0]);
    return 2;
  }
  const int runningNotes = std::atoi(argv[1]);
  const int idleNotes = std::atoi(argv[2]);
  const int idleWaitMs = std::atoi(argv[3]);
  std::thread reader(ReadMonitor);
  reader.detach();

  if (platform::MidiOutDeviceCount() < 1) {
    std::fprintf(stderr, "key_to_sound: the built-in synthesizer has no audio output\n");
    return 1;
  }
  platform::MidiOutDevice* synth = platform::OpenMidiOut(0);
  if (synth == nullptr) return 1;
  for (int waited = 0; platform::desktop::SynthesizerFontState() != platform::desktop::SoundFontState::kReady; waited += 10) {
    if (waited > 30000) {
      std::fprintf(stderr, "key_to_sound: the SoundFont did not load\n");
      return 1;
    }
    SleepMs(10);
  }
  platform::SendMidiOutShort(synth, 0x0000C0u);  // piano, whose attack is immediate

  // Notes in quick succession keep the output busy.
  for (int i = 0; i < runningNotes; ++i) {
    WaitQuiet(150, 3000);
    std::printf("running %.2f\n", MeasureNote(synth, kNote));
    std::fflush(stdout);
  }
  for (int i = 0; i < idleNotes; ++i) {
    WaitQuiet(150, 3000);
    SleepMs(idleWaitMs);
    const bool paused = platform::desktop::PulseOutputPaused();
    std::printf("%s %.2f\n", paused ? "idle" : "idle-but-running", MeasureNote(synth, kNote));
    std::fflush(stdout);
  }
  platform::CloseMidiOut(synth);
  return 0;
}
