// The statistics scene's small chart of the song's last scores at the same
// part and speed, the game just played marked as the last bar.
#pragma once

#include <vector>

#include "files/game_history.h"

namespace game {

// The scores charted after a game: the last earlier games of the history
// played on `part` at `speedPercent`, oldest first, then `score`; at most
// kChartedGames in all.
std::vector<int> ChartedScores(const std::vector<files::GameRecord>& earlier, const char* part, int speedPercent,
                               int score);

// Draws one bar per score from the chart's left, each as high as its share
// of 1000 (at least one row), the last in amber and the others in blue,
// between a base line and a faint line at 1000.
void DrawScoreChart(const std::vector<int>& scores);

}  // namespace game
