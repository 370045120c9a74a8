// Timing services over the one millisecond clock: numbered wait slots, the
// pausable time base of the playback clock, the frame stamp and the blink
// phase. All arithmetic is unsigned 32-bit and wraps with the clock.
#pragma once

#include <cstdint>

namespace elSystem {

// Arms wait slot 1..10 to expire `duration` ms from now; returns 1. Any
// other slot number is reported and refused (returns 0).
int SetWait(int slot, std::uint32_t duration);

}  // namespace elSystem

namespace midi {

inline constexpr int kWaitSlotCount = 10;
inline constexpr std::uint32_t kUnarmedDeadline = 999999999;
inline constexpr std::uint32_t kBlinkOnMs = 1000;
inline constexpr std::uint32_t kBlinkOffMs = 200;

// True when the slot's deadline has been reached. Deadlines are compared by
// their wrapping difference with the clock, so one armed just before the
// counter wraps still expires on time. Callers pass 1..10.
bool IsWaitOver(int slot);

// The playback time base: song time is the clock minus the origin.
void SetClockOrigin();
// Song time begins `ms` later than it would (a count-in before the song).
void DelayClockOrigin(std::uint32_t ms);
void MarkClockPause();
void SkipPausedTime();     // the origin moves on by the time since the mark
void ResumeClockOrigin();  // SkipPausedTime, then MarkClockPause
std::uint32_t SongClockMs();
// How long the song has stood at the last pause mark (a halt at a guide
// note): the time since the mark, without the time the song clock was
// held meanwhile (its release moves the mark on).
std::uint32_t MsSinceClockPause();
// While a full-screen program is away (another window has the focus) the
// song's time stands still: releasing the hold moves the clock origin and
// the pause mark on by the time held, so a halt at a guide note that was
// under way keeps its length too. Holding twice holds once; releasing
// without a hold does nothing.
void HoldSongClock();
void ReleaseSongClock();

// Frame stamps of the main loop.
void ResetFrameStamp();     // after a halt: the next frame's delta starts now
void AdvanceFrameStamp();   // at the start of each frame pass
float FrameDelta();         // seconds since the previous frame pass
std::uint32_t FrameStamp();

// The blink phase: on for 1000 ms, off for 200 ms, starting on.
void AdvanceBlink();
bool BlinkPhase();

// The state at process start: stamps at now, blink deadline now + 1000,
// every wait slot unarmed.
void InitTimingServices();

}  // namespace midi
