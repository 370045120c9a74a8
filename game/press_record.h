// The record of every press judged since the guide started: where in the
// guide and in the song it was, how far from its note, and its verdict. The
// statistics scene and the trace read it.
#pragma once

#include <cstdint>
#include <vector>

namespace game {

struct JudgedPress {
  int index;            // the guide note's place along the guide, from 0
  int offsetMs;         // press time minus the note's time: negative is early
  int verdict;          // kVerdictGood, kVerdictLate or kVerdictFast
  std::int32_t tick;    // the guide note's time in ticks
  int measure;          // its measure, from 1 as the counter shows it
};

// Offsets beyond an hour either way are kept as an hour.
inline constexpr int kLongestOffsetMs = 60 * 60 * 1000;

// Called where a press's verdict is decided, before the guide moves on:
// records it with the guide note it takes.
void RecordJudgedPress(int offsetMs, int verdict);
// The press offset of a press against the guide note: while the song
// stands at the note, the time it has stood there; before it reaches the
// note, minus how far ahead the note lies; each taken back to the moment
// the key went down, `pressMs` (platform time).
int PressOffsetMs(std::uint32_t pressMs);
// The measure (from 1) the measure counter shows at a tick.
int MeasureOfTick(std::int32_t tick);

const std::vector<JudgedPress>& JudgedPresses();
// The guide starts over: no press judged yet.
void ClearPressRecord();

}  // namespace game
