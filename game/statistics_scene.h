// The statistics scene (scene 5): after a game that reached the end of its
// guide, before name entry or the ranking, how the game went: the counts
// by verdict and the score, the mean offset and the spread, a plot of every
// press, the measures with the most misses, and the song's last scores. The
// game is added to the song's history as the scene is begun.
#pragma once

#include <string>

#include "report/report.h"

namespace game {

// Texts of the scene, in the player's language.
inline constexpr report::PlayerText kScoreCaption = {"スコア", "SCORE"};
inline constexpr report::PlayerText kMeanCaption = {"平均のずれ", "Mean offset"};
inline constexpr report::PlayerText kEarly = {"早い", "early"};
inline constexpr report::PlayerText kLate = {"遅い", "late"};
inline constexpr report::PlayerText kOnTime = {"ぴったり", "on time"};
inline constexpr report::PlayerText kMilliseconds = {"ミリ秒", "ms"};
// %1 the output's latency, %2 the player's offset, in milliseconds.
inline constexpr report::PlayerText kHeardFigures = {"聞こえる音で判定：出力の遅れ %1 ミリ秒、あなたのずれ %2 ミリ秒",
                                                     "judged against the sound: output %1 ms, your offset %2 ms"};
inline constexpr report::PlayerText kSpreadCaption = {"ばらつき", "Spread"};
inline constexpr report::PlayerText kPlotCaption = {"打鍵ごとのずれ（上が早い、下が遅い。帯の中が Good）",
                                                    "Each press: early above, late below; Good inside the band"};
inline constexpr report::PlayerText kMeasuresCaption = {"ミスの多い小節", "Measures with the most misses"};
// %1 the measure, %2 its misses.
inline constexpr report::PlayerText kMeasureLine = {"%1 小節目　ミス %2 回", "Measure %1: %2 missed"};
inline constexpr report::PlayerText kNoMisses = {"ミスはありません", "No misses"};
inline constexpr report::PlayerText kChartCaption = {"最近のスコア（同じパートと速さ）", "Last scores (same part and speed)"};
inline constexpr report::PlayerText kThisGame = {"今回", "now"};
inline constexpr report::PlayerText kNotInHistory = {"履歴に残せませんでした：", "Not added to the history:"};
// %1 the speed in percent.
inline constexpr report::PlayerText kSpeedCaption = {"速さ %1%", "speed %1%"};
// A game played slower than the song is not comparable with the others.
inline constexpr report::PlayerText kSlowGameNotice = {
    "速度を落として演奏したため、このスコアはランキングに登録されません。",
    "This game was played below full speed: its score is not entered in the ranking."};

// Called by the main screen when a game has reached the end of its guide:
// adds the game to the song's history (unless the history is off), gathers
// what the scene shows, and begins the change to the scene. `nextScene` is
// where Space or a click goes on to.
void BeginGameStatistics(int nextScene);
void RunStatisticsScene();
// Where the scene goes on to.
int SceneAfterStatistics();
// Off: games are not added to the history (the trace's runs).
void SetHistoryKept(bool kept);
// Why the last game is not in the history ("" when it is, or when the
// history is off).
const std::string& HistoryProblem();

}  // namespace game
