#include "game/game_statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>

#include "game/judging.h"

namespace game {

PressSummary SummarizePresses(const std::vector<JudgedPress>& presses) {
  PressSummary summary;
  std::int64_t sum = 0;
  for (const JudgedPress& press : presses) {
    sum += press.offsetMs;
    if (press.verdict == kVerdictLate) ++summary.late;
    else if (press.verdict == kVerdictFast) ++summary.fast;
    else ++summary.good;
  }
  if (presses.empty()) return summary;
  const auto count = static_cast<std::int64_t>(presses.size());
  // Rounded to the nearest, halves away from zero, in integers.
  const std::int64_t halfAway = sum >= 0 ? (2 * sum + count) / (2 * count) : -((-2 * sum + count) / (2 * count));
  summary.meanMs = static_cast<int>(halfAway);
  // Two passes keep the deviations small and the square sum exact enough.
  const long double mean = static_cast<long double>(sum) / static_cast<long double>(count);
  long double squares = 0;
  for (const JudgedPress& press : presses) squares += (press.offsetMs - mean) * (press.offsetMs - mean);
  summary.spreadMs = static_cast<int>(std::floor(std::sqrt(squares / static_cast<long double>(count)) + 0.5L));
  return summary;
}

std::vector<MeasureMisses> WorstMeasures(const std::vector<JudgedPress>& presses, int most) {
  std::map<int, int> missesOf;
  for (const JudgedPress& press : presses)
    if (press.verdict == kVerdictLate || press.verdict == kVerdictFast) ++missesOf[press.measure];
  std::vector<MeasureMisses> measures;
  for (const auto& [measure, misses] : missesOf) measures.push_back({measure, misses});
  std::stable_sort(measures.begin(), measures.end(),
                   [](const MeasureMisses& a, const MeasureMisses& b) { return a.misses > b.misses; });
  if (static_cast<int>(measures.size()) > most) measures.resize(static_cast<std::size_t>(std::max(most, 0)));
  return measures;
}

}  // namespace game
