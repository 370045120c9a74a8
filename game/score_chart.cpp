#include "game/score_chart.h"

#include <algorithm>

#include "draw/fill.h"
#include "game/statistics_look.h"

namespace game {

std::vector<int> ChartedScores(const std::vector<files::GameRecord>& earlier, const char* part, int speedPercent,
                               int score) {
  std::vector<int> scores;
  for (const files::GameRecord& game : earlier)
    if (game.part == part && game.speedPercent == speedPercent) scores.push_back(game.score);
  scores.push_back(score);
  if (scores.size() > static_cast<std::size_t>(kChartedGames))
    scores.erase(scores.begin(), scores.end() - kChartedGames);
  return scores;
}

void DrawScoreChart(const std::vector<int>& scores) {
  const int right = kChartLeft + kBarPitch * kChartedGames;
  draw::FillBox(kChartLeft - 4, kChartBaseY - kChartHeight - 1, right, kChartBaseY - kChartHeight, kGoodBand);  // 100.0
  draw::FillBox(kChartLeft - 4, kChartBaseY, right, kChartBaseY + 1, kPanelEdge);
  const std::size_t shown = std::min(scores.size(), static_cast<std::size_t>(kChartedGames));
  for (std::size_t i = 0; i < shown; ++i) {
    const int score = std::clamp(scores[scores.size() - shown + i], 0, 1000);
    const int height = std::max(1, score * kChartHeight / 1000);
    const int left = kChartLeft + kBarPitch * static_cast<int>(i);
    draw::FillBox(left, kChartBaseY - height, left + kBarWidth, kChartBaseY, i + 1 == shown ? kLitAmber : kLabelBlue);
  }
}

}  // namespace game
