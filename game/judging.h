// Judging of each press that takes a guide note (Good, LATE, FAST against a
// 70 ms window) and the running score. A press's verdict follows from its
// offset (see press_record.h); the keys of a chord count with its first.
#pragma once

#include <cstdint>

namespace game {

inline constexpr int kVerdictGood = 0;
inline constexpr int kVerdictLate = 1;
inline constexpr int kVerdictFast = 2;
inline constexpr int kVerdictNone = 3;
// Below this many notes the score divides by 99 (see NOT-BUGS.md).
inline constexpr int kShortRunNotes = 100;
inline constexpr int kShortRunDivisor = 99;

// What judging a press found: its verdict, the offset it was judged from
// (ms after the guide chord's time; negative for early) and the score then.
struct Judgement {
  int verdict;
  int offsetMs;
  int score;
};

// Judges the press against the guide chord's note about to be taken,
// records it and counts it. The chord's first judged key is judged by its
// offset; a key of the same chord that goes down within 150 ms of it gets
// its offset and verdict, a later one is judged by its own offset.
// `pressMs` is the moment (platform time) the key went down; `heardLaterMs`
// how much later than its message the player hears a note and habitually
// presses (the output's latency plus the player's offset), taken off the
// offset before the verdict.
Judgement JudgeTiming(std::uint32_t pressMs, int heardLaterMs = 0);
// Good from 70 ms before the note to less than 70 ms after the song
// reached it, FAST before, LATE after.
int VerdictOfOffset(int offsetMs);
// How many whole milliseconds of the player's time the guide note lies
// ahead of the song position, each division truncating toward zero.
std::int64_t GuideEarlinessMs();

int NotesPlayed();
int Misses();
int Score();  // tenths of a percent, 0..1000
void SetScore(int value);
// The verdict of the last judged press (kVerdictNone before any).
int LastVerdict();
// Notes played, misses and the score back to 0 at each start: a run never
// inherits the last run's score.
void ResetJudging();

}  // namespace game
