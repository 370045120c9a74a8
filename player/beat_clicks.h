// When the count-in's and the metronome's clicks fall. The metronome clicks
// on each beat the counter counts (a quarter note, counted from 1 again at
// each time signature), accented on a measure's first; the count-in is one
// measure of such clicks before the song begins, at the tempo and
// signature of the measure the run starts at, slowed by the speed.
#pragma once

#include <cstdint>
#include <optional>

#include "song/measure_map.h"

namespace player {

// General MIDI wood blocks on the drum channel (10) of port 0: high on a
// measure's first beat, low on the others.
inline constexpr std::uint8_t kClickChannel = 9;
inline constexpr std::uint8_t kAccentClickNote = 76;
inline constexpr std::uint8_t kBeatClickNote = 77;
inline constexpr std::uint8_t kClickVelocity = 100;
// How long a click's note is held, in the player's milliseconds.
inline constexpr std::uint32_t kClickHeldMs = 50;

struct Click {
  std::int32_t tick = 0;
  bool accented = false;
  bool operator==(const Click&) const = default;
};

// The click of the song position's way from `from` to `to`: the last beat
// start b with from <= b < to (a frame never spans two beats at a tempo
// the clock keeps; after a stall only the latest beat sounds).
std::optional<Click> MetronomeClickBetween(std::int32_t from, std::int32_t to);

struct CountIn {
  int beats = 4;                // the measure's quarter notes as counted
  std::int32_t beatMs = 500;    // the player's milliseconds between clicks
  std::int32_t LengthMs() const { return beats * beatMs; }
};

CountIn CountInBefore(const song::MeasureStart& start, int speedPercent);
// How many of the count-in's clicks are due `elapsedMs` after it began
// (the first at once); the first is accented.
int CountInClicksDue(const CountIn& countIn, std::int64_t elapsedMs);

}  // namespace player
