// The arithmetic of the calibration: how far the player's taps lie from
// the clicks they hear, and whether the taps were even enough to tell.
#pragma once

#include <cstdint>
#include <vector>

namespace game {

// The taps' spread (population standard deviation) must stay under this
// for their median to be taken as the player's offset.
inline constexpr int kMostTapSpreadMs = 40;
// Fewer taps than this tell nothing.
inline constexpr int kFewestTaps = 6;

struct TapEstimate {
  enum class Outcome { Measured, Uneven, TooFewTaps } outcome = Outcome::TooFewTaps;
  int offsetMs = 0;  // the median tap offset (positive: late), whole ms, halves away from zero
  int spreadMs = 0;  // rounded to the nearest whole ms
  int taps = 0;      // the taps counted
};

// `heardMs`: when each click was heard, in order; `tapsMs`: when each tap
// went down, on the same clock. A tap counts against the click it lies
// nearest (the earlier of two as near), and only when that click is
// `firstCounted` (from 0) or later; a second tap on one click is ignored.
TapEstimate EstimateTapOffset(const std::vector<std::int64_t>& heardMs, const std::vector<std::int64_t>& tapsMs,
                              int firstCounted);

}  // namespace game
