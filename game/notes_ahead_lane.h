// The notes-ahead lane's geometry, apart from any drawing: the chosen
// part's notes gathered once per song and part, and for a song position
// the rectangles their bars take in the lane above the keys.
//
// The lane holds a fixed number of quarter notes for the whole song (two
// of its longest measures, or two seconds at its fastest tempo, whichever
// is more), so the bars fall in step with the song position: a slower
// speed or tempo slows their fall, and a tempo change changes it at its
// moment. A note's front reaches the keys' edge at the moment it is due.
#pragma once

#include <cstdint>
#include <vector>

#include "game/piano_keys.h"

namespace game {

inline constexpr int kLaneTop = kPianoAreaTop;
inline constexpr int kLaneBottom = kShortKeysTop;  // where the fronts meet the keys
inline constexpr int kLaneHeight = kLaneBottom - kLaneTop;

// A note of the chosen part and the key it falls onto: the key that plays
// it once folded by octaves into the computer keyboard's reach, with the
// arrow look's octave (-1: the note lies an octave below that key, +1
// above). Chord notes that fold onto one key share its column side by side.
struct LaneNote {
  std::int32_t tick = 0;
  std::int32_t endTick = 0;
  std::uint8_t note = 0;
  std::int8_t key = 0;
  std::int8_t octave = 0;
  std::uint8_t slot = 0;
  std::uint8_t slots = 1;
};

struct LaneSong {
  std::vector<LaneNote> notes;  // by start, then pitch
  std::int32_t longestNote = 0;
  std::int32_t viewTicks = 1;  // the ticks the lane's height holds
  int beatsInView = 8;
};

// The chosen part of the current song, read from its track (empty without
// a part).
LaneSong GatherLaneSong();

// What the lane shows at a moment. With a loop in force the passage follows
// its own end again, so its first notes come into view before the jump and
// the jump back moves nothing.
struct LaneWindow {
  std::int32_t position = 0;
  bool loop = false;
  std::int32_t loopStart = 0;
  std::int32_t loopEnd = 0;
  bool operator==(const LaneWindow&) const = default;
};

struct LaneRect {
  int left, top, right, bottom;  // right and bottom past the last pixel
};
struct LaneBar {
  LaneRect rect;
  int index;           // in LaneSong::notes
  std::int64_t ahead;  // how many ticks its front lies ahead of the position
  bool sounding;       // the note began before the position
};

// The row of a point `ticksAhead` of the position (at or below kLaneTop
// for points in view).
int LaneRow(const LaneSong& lane, std::int64_t ticksAhead);

// The bars in view, and the rows of the measure starts in view (the row
// just above the point, which the bar of a note starting there covers). A bar's
// bottom is its note's front (its start, or the keys' edge while it
// sounds), its top the note's end, one row short so that a note repeated
// at once shows apart, and never less than two rows high.
void LaneBars(const LaneSong& lane, const LaneWindow& window, std::vector<LaneBar>& bars,
              std::vector<int>& measureRows);

}  // namespace game
