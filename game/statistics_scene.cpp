#include "game/statistics_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/module_state.h"
#include "draw/colour_order.h"
#include "draw/eldraw.h"
#include "draw/fill.h"
#include "draw/text.h"
#include "files/game_history.h"
#include "game/artwork_text.h"
#include "game/game_statistics.h"
#include "game/heard_timing.h"
#include "game/judging.h"
#include "game/main_command.h"
#include "game/panels.h"
#include "game/part_button.h"
#include "game/press_record.h"
#include "game/score_chart.h"
#include "game/score_screens.h"
#include "game/statistics_look.h"
#include "game/statistics_plot.h"
#include "midi/timing.h"
#include "platform/virtual_keys.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "scene/input.h"
#include "scene/scenes.h"

namespace game {

// What the scene shows of the game that ended, where it goes on to, the
// composed picture it restores under each wipe step, and the prompt's fade.
namespace {
struct State {
  bool historyKept = true;
  int nextScene = scene::kSceneRanking;
  int score = 0;
  int speed = player::kFullSpeedPercent;
  PressSummary summary{};
  HeardFigures heard{};
  std::vector<JudgedPress> presses;
  std::vector<MeasureMisses> worstMeasures;
  std::vector<int> chartedScores;
  std::string historyProblem;
  std::vector<draw::Pixel> picture;
  int countdown = 0;
  float pulsePhase = 0.0f;
};
base::ModuleState<State> state;
}  // namespace

int SceneAfterStatistics() { return state.nextScene; }
void SetHistoryKept(bool kept) { state.historyKept = kept; }
const std::string& HistoryProblem() { return state.historyProblem; }

// The prompt fades as the ranking scene's does (15 steps a second).
static constexpr int kPulseSteps = 15;
static constexpr float kPulseTable[kPulseSteps] = {10, 10, 10, 9, 8, 6, 5, 4, 3, 2, 3, 4, 5, 8, 9};
static constexpr int kPromptX = 127, kPromptY = 447;  // the prompt is 385 wide: centred
static constexpr int kSmallText = 12, kText = 16;

// Adds the game to the song's history, and charts it after the earlier
// games of the same part and speed.
static void KeepInHistory() {
  const std::string partId = player::ChosenPartId();
  const char* part = partId.c_str();
  const int speed = player::PlaybackSpeedPercent();
  files::KeptGame kept;
  if (state.historyKept)
    kept = files::KeepGameInHistory({"", part, speed, state.score, state.summary.good, state.summary.late,
                                     state.summary.fast, state.summary.meanMs, state.summary.spreadMs,
                                     state.heard.outputLatencyMs, state.heard.playerOffsetMs});
  state.historyProblem = kept.problem;
  state.chartedScores = ChartedScores(kept.earlier, part, speed, state.score);
}

void BeginGameStatistics(int nextScene) {
  state.nextScene = nextScene;
  state.score = Score();
  state.speed = player::PlaybackSpeedPercent();
  state.presses = JudgedPresses();
  state.summary = SummarizePresses(state.presses);
  state.heard = LastPressFigures();
  state.worstMeasures = WorstMeasures(state.presses);
  KeepInHistory();
  scene::BeginSceneChange(scene::kSceneStatistics);
}

// --- Drawing ---

// Width of UTF-8 text in cells of `height`: characters below U+0400 take
// half a cell, the others a whole one, as the text renderer lays them out.
static int TextWidth(const std::string& text, int height) {
  int width = 0;
  for (unsigned char c : text)
    if (c < 0x80 || (c >= 0xC0 && c < 0xD0)) width += height / 2;
    else if (c >= 0xD0) width += height;
  return width;
}

// Draws text on whatever lies below; returns where it ended.
static int PutSceneText(int x, int y, const std::string& text, int height, std::uint32_t rgb) {
  draw::BeginText(draw::kFaceGothic, height);
  draw::SetTextColors(draw::SwapColourOrder(rgb), 0, 1);
  draw::PutUtf8Text(x, y, text.c_str());
  draw::EndText();
  return x + TextWidth(text, height);
}

// "%1" and "%2" of a pattern filled with numbers (a lone '%' stays).
static std::string Fill(const char* pattern, long first, long second) {
  std::string text;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
      text += std::to_string(*++p == '1' ? first : second);
    } else {
      text += *p;
    }
  }
  return text;
}

// A panel as the artwork draws them: filled, with a one-pixel edge whose
// corners are left out.
static void DrawPanel(int left, int top, int right, int bottom) {
  draw::FillBox(left + 1, top, right - 1, bottom, kPanelEdge);
  draw::FillBox(left, top + 1, right, bottom - 1, kPanelEdge);
  draw::FillBox(left + 1, top + 1, right - 1, bottom - 1, kPanelFill);
}

static void DrawBackground() {
  const int height = draw::kScreenHeight;
  for (int y = 0; y < height; ++y) {
    auto channel = [y, height](int shift) {
      const int top = static_cast<int>((kBackgroundTop >> shift) & 0xFF), bottom = static_cast<int>((kBackgroundBottom >> shift) & 0xFF);
      return static_cast<std::uint32_t>(top + (bottom - top) * y / (height - 1)) << shift;
    };
    draw::FillBox(0, y, draw::kScreenWidth, y + 1, channel(16) | channel(8) | channel(0));
  }
}

// The three verdicts with their counts, and the score as the main screen
// shows it.
static void DrawCounts() {
  const int counts[3] = {state.summary.good, state.summary.late, state.summary.fast};
  for (int v = 0; v < 3; ++v) {
    const int left = 8 + 158 * v;
    DrawPanel(left, 8, left + 152, 92);
    PutArtwork(left + 20, 14, Verdict(v));
    const std::string count = std::to_string(counts[v]);
    const int width = 25 * (static_cast<int>(count.size()) - 1) + kCellAdvance;
    DrawArtworkText(left + 76 - width / 2, 56, count.c_str(), static_cast<int>(count.size()), 25);
  }
  DrawPanel(482, 8, 632, 92);
  PutSceneText(490, 12, report::InPlayersLanguage(kScoreCaption), kSmallText, kLabelBlue);
  DrawBigNumber(493, 36, 3, state.score / 10);
  draw::FillBox(583, 70, 588, 75, kDigitCream);
  DrawBigNumber(593, 36, 1, state.score % 10);
  PutSceneText(622, 64, "%", kSmallText, kLabelBlue);
}

// Under the mean, what the presses were judged against, when the sound
// came late or the player has an offset.
static int DrawHeardFigures() {
  if (state.heard.outputLatencyMs == 0 && state.heard.playerOffsetMs == 0) return 107;
  PutSceneText(20, 118, Fill(report::InPlayersLanguage(kHeardFigures), state.heard.outputLatencyMs, state.heard.playerOffsetMs),
               kSmallText, kLabelBlue);
  return 101;
}

// The mean and the spread, and at the right which part was played at
// which speed (the part's name cut to the room left).
static void DrawMeanAndSpread() {
  DrawPanel(8, 98, 632, 132);
  const int row = DrawHeardFigures();
  const int mean = state.summary.meanMs;
  const std::string ms = report::InPlayersLanguage(kMilliseconds);
  std::string value = mean == 0 ? report::InPlayersLanguage(kOnTime)
                                : std::to_string(std::abs(static_cast<long>(mean))) + " " + ms + " " +
                                      report::InPlayersLanguage(mean < 0 ? kEarly : kLate);
  int x = PutSceneText(20, row, std::string(report::InPlayersLanguage(kMeanCaption)) + ": ", kText, kLabelBlue);
  x = PutSceneText(x, row, value, kText, kDigitCream);
  x = PutSceneText(x + 3 * kText / 2, row, std::string(report::InPlayersLanguage(kSpreadCaption)) + ": ", kText, kLabelBlue);
  x = PutSceneText(x, row, std::to_string(state.summary.spreadMs) + " " + ms, kText, kDigitCream);
  constexpr int kRight = 624;
  const std::string speed = "  " + Fill(report::InPlayersLanguage(kSpeedCaption), state.speed, 0);
  const int room = (kRight - x - kText - TextWidth(speed, kText)) / (kText / 2);
  const std::string part = ChosenPartTitle(room);
  const int partX = kRight - TextWidth(part + speed, kText);
  PutSceneText(PutSceneText(partX, row, part, kText, kDigitCream), row, speed, kText,
               state.speed == player::kFullSpeedPercent ? kDigitCream : kLitAmber);
}

static void DrawPlotPanel() {
  DrawPanel(8, 138, 632, 322);
  PutSceneText(16, 142, report::InPlayersLanguage(kPlotCaption), kText, kLabelBlue);
  DrawPressPlot(state.presses);
  // The scale at the plot's left, each label right-aligned against it.
  const struct {
    int row;
    std::string text;
  } labels[] = {{kPlotCentreY - kPlotHalfHeight + 6, report::InPlayersLanguage(kEarly)},
                {kPlotCentreY - 25, "-70"},
                {kPlotCentreY, "0"},
                {kPlotCentreY + 25, "+70"},
                {kPlotCentreY + kPlotHalfHeight - 6, report::InPlayersLanguage(kLate)}};
  for (const auto& label : labels)
    PutSceneText(kPlotLeft - 4 - TextWidth(label.text, kSmallText), label.row - kSmallText / 2, label.text, kSmallText, kLabelBlue);
  // Under the plot, where a slowed game says why it is not ranked.
  if (state.speed != player::kFullSpeedPercent)
    PutSceneText(kPlotLeft, kPlotCentreY + kPlotHalfHeight + 2, report::InPlayersLanguage(kSlowGameNotice), kSmallText,
                 kLitAmber);
}

static void DrawWorstMeasures() {
  DrawPanel(8, 328, 316, 440);
  PutSceneText(16, 332, report::InPlayersLanguage(kMeasuresCaption), kText, kLabelBlue);
  if (state.worstMeasures.empty()) PutSceneText(24, 360, report::InPlayersLanguage(kNoMisses), kText, kDigitCream);
  for (std::size_t i = 0; i < state.worstMeasures.size(); ++i) {
    const MeasureMisses& m = state.worstMeasures[i];
    PutSceneText(24, 360 + 24 * static_cast<int>(i), Fill(report::InPlayersLanguage(kMeasureLine), m.measure, m.misses), kText,
            kDigitCream);
  }
}

static void DrawChartPanel() {
  DrawPanel(324, 328, 632, 440);
  PutSceneText(332, 332, report::InPlayersLanguage(kChartCaption), kText, kLabelBlue);
  DrawScoreChart(state.chartedScores);
  const std::string now = report::InPlayersLanguage(kThisGame);
  const int last = static_cast<int>(std::min<std::size_t>(state.chartedScores.size(), kChartedGames)) - 1;
  const int centre = kChartLeft + kBarPitch * last + kBarWidth / 2;
  PutSceneText(centre - TextWidth(now, kSmallText) / 2, kChartBaseY + 2, now, kSmallText, kLitAmber);
  if (!state.historyProblem.empty())
    PutSceneText(332, 350, std::string(report::InPlayersLanguage(kNotInHistory)) + " " + state.historyProblem, kSmallText,
            kVerdictColours[kVerdictLate]);
}

static void ComposePicture() {
  DrawBackground();
  DrawCounts();
  DrawMeanAndSpread();
  DrawPlotPanel();
  DrawWorstMeasures();
  DrawChartPanel();
}

void RunStatisticsScene() {
  draw::Surface& screen = draw::BackScreen();
  if (scene::SceneEntered()) {
    scene::BeginOpeningTransition();
    state.countdown = kRevealFrames;
    state.pulsePhase = 0.0f;
    // Back on the main screen, the game's end is not taken for a new one.
    SetMainCommand(kCommandRunning);
    ComposePicture();
    state.picture = screen.pixels;
  }
  if (state.picture.size() == screen.pixels.size()) screen.pixels = state.picture;
  state.pulsePhase = std::fmod(state.pulsePhase + midi::FrameDelta() * kPulseSteps, static_cast<float>(kPulseSteps));
  SetTextBrightness(kPulseTable[static_cast<int>(state.pulsePhase) % kPulseSteps]);
  DrawArtworkText(kPromptX, kPromptY, "HIT SPACE OR CLICK", 26, 0);
  scene::DrawTransitionAndPresent();
  // Nothing acts while the scene opens: the last note's key may still be
  // down.
  if (state.countdown > 0) {
    --state.countdown;
    return;
  }
  if (scene::LeftPressed() || scene::KeyPressed() == platform::vk::kSpace) scene::BeginSceneChange(state.nextScene);
}

}  // namespace game
