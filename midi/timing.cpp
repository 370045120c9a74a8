#include "midi/timing.h"

#include "base/module_state.h"
#include "platform/platform.h"
#include "report/report.h"

namespace midi {

// Deadlines of wait slots 1..10 (index 0 unused), the playback time base,
// the frame stamp and the blink phase.
namespace {
struct State {
  std::uint32_t waitDeadline[kWaitSlotCount + 1]{};
  std::uint32_t clockOrigin = 0;
  std::uint32_t pauseMark = 0;
  bool songClockHeld = false;
  std::uint32_t holdMark = 0;
  std::uint32_t frameStamp = 0;
  float frameDelta = 0.0f;
  std::uint32_t blinkDeadline = 0;
  bool blinkPhase = true;
};
base::ModuleState<State> state;
}  // namespace

// True when `now` is at or past `deadline`, across the 32-bit wrap.
static bool Reached(std::uint32_t now, std::uint32_t deadline) {
  return static_cast<std::int32_t>(now - deadline) >= 0;
}

void InitTimingServices() {
  state.Reset();
  for (std::uint32_t& deadline : state.waitDeadline) deadline = kUnarmedDeadline;
  state.frameStamp = platform::TimeMs();
  state.blinkDeadline = state.frameStamp + kBlinkOnMs;
}

bool IsWaitOver(int slot) { return Reached(platform::TimeMs(), state.waitDeadline[slot]); }

void SetClockOrigin() { state.clockOrigin = platform::TimeMs(); }
void DelayClockOrigin(std::uint32_t ms) { state.clockOrigin += ms; }
void MarkClockPause() { state.pauseMark = platform::TimeMs(); }
void SkipPausedTime() { state.clockOrigin += platform::TimeMs() - state.pauseMark; }
void ResumeClockOrigin() {
  SkipPausedTime();
  MarkClockPause();
}
std::uint32_t SongClockMs() { return platform::TimeMs() - state.clockOrigin; }
std::uint32_t MsSinceClockPause() { return platform::TimeMs() - state.pauseMark; }

void HoldSongClock() {
  if (state.songClockHeld) return;
  state.songClockHeld = true;
  state.holdMark = platform::TimeMs();
}

void ReleaseSongClock() {
  if (!state.songClockHeld) return;
  state.songClockHeld = false;
  const std::uint32_t held = platform::TimeMs() - state.holdMark;
  state.clockOrigin += held;
  state.pauseMark += held;
}

void ResetFrameStamp() {
  state.frameStamp = platform::TimeMs();
  state.frameDelta = 0.0f;
}

void AdvanceFrameStamp() {
  const std::uint32_t now = platform::TimeMs();
  state.frameDelta = static_cast<float>(now - state.frameStamp) / 1000.0f;
  state.frameStamp = now;
}

float FrameDelta() { return state.frameDelta; }
std::uint32_t FrameStamp() { return state.frameStamp; }

void AdvanceBlink() {
  const std::uint32_t now = platform::TimeMs();
  if (!Reached(now, state.blinkDeadline)) return;
  state.blinkPhase = !state.blinkPhase;
  state.blinkDeadline = now + (state.blinkPhase ? kBlinkOnMs : kBlinkOffMs);
}

bool BlinkPhase() { return state.blinkPhase; }

}  // namespace midi

namespace elSystem {

int SetWait(int slot, std::uint32_t duration) {
  if (slot < 1 || slot > midi::kWaitSlotCount)
    return report::ReportError("elSystem::SetWait", {"ウェイトNoが範囲外です", "no such wait slot"}, 0);
  midi::state.waitDeadline[slot] = platform::TimeMs() + duration;
  return 1;
}

}  // namespace elSystem
