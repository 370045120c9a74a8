// What the statistics scene and the trace say about a game's presses: the
// counts by verdict, the mean offset and the spread, and the measures with
// the most misses.
#pragma once

#include <vector>

#include "game/press_record.h"

namespace game {

struct PressSummary {
  int good = 0, late = 0, fast = 0;
  // The mean offset and the population standard deviation of the offsets,
  // each rounded to the nearest whole millisecond (halves away from zero);
  // both 0 without presses.
  int meanMs = 0;
  int spreadMs = 0;
};
PressSummary SummarizePresses(const std::vector<JudgedPress>& presses);

struct MeasureMisses {
  int measure;
  int misses;  // presses judged LATE or FAST
};
inline constexpr int kWorstMeasuresShown = 3;
// The measures with misses, the most first (the earlier measure first when
// two have as many), at most `most` of them.
std::vector<MeasureMisses> WorstMeasures(const std::vector<JudgedPress>& presses, int most = kWorstMeasuresShown);

}  // namespace game
