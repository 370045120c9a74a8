#include "midi/timing.h"

#include "draw/messages.h"
#include "platform/platform.h"

namespace midi {

// Deadlines of wait slots 1..10 (index 0 unused), the playback time base,
// the frame stamp and the blink phase.
static std::uint32_t waitDeadline[kWaitSlotCount + 1];
static std::uint32_t clockOrigin = 0;
static std::uint32_t pauseMark = 0;
static bool songClockHeld = false;
static std::uint32_t holdMark = 0;
static std::uint32_t frameStamp = 0;
static float frameDelta = 0.0f;
static std::uint32_t blinkDeadline = 0;
static bool blinkPhase = true;

// True when `now` is at or past `deadline`, across the 32-bit wrap.
static bool Reached(std::uint32_t now, std::uint32_t deadline) {
  return static_cast<std::int32_t>(now - deadline) >= 0;
}

void InitTimingServices() {
  for (std::uint32_t& deadline : waitDeadline) deadline = kUnarmedDeadline;
  clockOrigin = pauseMark = 0;
  songClockHeld = false;
  holdMark = 0;
  frameStamp = platform::TimeMs();
  frameDelta = 0.0f;
  blinkDeadline = frameStamp + kBlinkOnMs;
  blinkPhase = true;
}

int IsWaitOver(int slot) { return Reached(platform::TimeMs(), waitDeadline[slot]) ? 1 : 0; }

void SetClockOrigin() { clockOrigin = platform::TimeMs(); }
void MarkClockPause() { pauseMark = platform::TimeMs(); }
void SkipPausedTime() { clockOrigin += platform::TimeMs() - pauseMark; }
void ResumeClockOrigin() {
  SkipPausedTime();
  MarkClockPause();
}
std::uint32_t SongClockMs() { return platform::TimeMs() - clockOrigin; }

void HoldSongClock() {
  if (songClockHeld) return;
  songClockHeld = true;
  holdMark = platform::TimeMs();
}

void ReleaseSongClock() {
  if (!songClockHeld) return;
  songClockHeld = false;
  const std::uint32_t held = platform::TimeMs() - holdMark;
  clockOrigin += held;
  pauseMark += held;
}

void ResetFrameStamp() {
  frameStamp = platform::TimeMs();
  frameDelta = 0.0f;
}

void AdvanceFrameStamp() {
  const std::uint32_t now = platform::TimeMs();
  frameDelta = static_cast<float>(now - frameStamp) / 1000.0f;
  frameStamp = now;
}

float FrameDelta() { return frameDelta; }
std::uint32_t FrameStamp() { return frameStamp; }

void AdvanceBlink() {
  const std::uint32_t now = platform::TimeMs();
  if (!Reached(now, blinkDeadline)) return;
  blinkPhase = !blinkPhase;
  blinkDeadline = now + (blinkPhase ? kBlinkOnMs : kBlinkOffMs);
}

bool BlinkPhase() { return blinkPhase; }

}  // namespace midi

namespace elSystem {

int SetWait(int slot, std::uint32_t duration) {
  if (slot < 1 || slot > midi::kWaitSlotCount)
    return draw::ReportError("elSystem::SetWait", "ウェイトNoが範囲外です", 0);
  midi::waitDeadline[slot] = platform::TimeMs() + duration;
  return 1;
}

}  // namespace elSystem
