#include "game/tap_offset.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace game {

// The click a tap lies nearest; -1 without clicks.
static int NearestClick(const std::vector<std::int64_t>& heardMs, std::int64_t tapMs) {
  int nearest = -1;
  for (int i = 0; i < static_cast<int>(heardMs.size()); ++i)
    if (nearest < 0 || std::llabs(tapMs - heardMs[i]) < std::llabs(tapMs - heardMs[nearest])) nearest = i;
  return nearest;
}

// a / 2 rounded to the nearest whole number, halves away from zero.
static std::int64_t HalfRounded(std::int64_t twice) { return twice >= 0 ? (twice + 1) / 2 : -((-twice + 1) / 2); }

TapEstimate EstimateTapOffset(const std::vector<std::int64_t>& heardMs, const std::vector<std::int64_t>& tapsMs,
                              int firstCounted) {
  std::vector<bool> tapped(heardMs.size(), false);
  std::vector<std::int64_t> offsets;
  for (std::int64_t tap : tapsMs) {
    const int click = NearestClick(heardMs, tap);
    if (click < firstCounted || click < 0 || tapped[static_cast<std::size_t>(click)]) continue;
    tapped[static_cast<std::size_t>(click)] = true;
    offsets.push_back(tap - heardMs[static_cast<std::size_t>(click)]);
  }
  TapEstimate estimate;
  estimate.taps = static_cast<int>(offsets.size());
  if (estimate.taps < kFewestTaps) return estimate;
  std::sort(offsets.begin(), offsets.end());
  const std::size_t middle = offsets.size() / 2;
  const std::int64_t twiceMedian = offsets.size() % 2 == 1 ? 2 * offsets[middle] : offsets[middle - 1] + offsets[middle];
  estimate.offsetMs = static_cast<int>(HalfRounded(twiceMedian));
  long double sum = 0, squares = 0;
  for (std::int64_t offset : offsets) sum += static_cast<long double>(offset);
  const long double mean = sum / static_cast<long double>(offsets.size());
  for (std::int64_t offset : offsets) squares += (offset - mean) * (offset - mean);
  const long double spread = std::sqrt(squares / static_cast<long double>(offsets.size()));
  estimate.spreadMs = static_cast<int>(std::floor(spread + 0.5L));
  estimate.outcome = spread < kMostTapSpreadMs ? TapEstimate::Outcome::Measured : TapEstimate::Outcome::Uneven;
  return estimate;
}

}  // namespace game
