#include "game/adaptive_loop.h"

#include <algorithm>

#include "base/module_state.h"
#include "game/controls.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/panels.h"
#include "player/guide_track.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"

namespace game {

// Whether it is on and for which loop; the counts when the
// current pass began, and the last pass that ended.
namespace {
struct State {
  bool on = false;
  int loopGeneration = 0;
  int notesAtPassStart = 0;
  int missesAtPassStart = 0;
  LoopPass lastPass;
};
base::ModuleState<State> state;
}  // namespace

int SpeedAfterPass(int speedPercent, int good, int presses) {
  if (presses <= 0) return speedPercent;
  if (good == presses) return std::min(speedPercent + kSpeedStepPercent, player::kFullSpeedPercent);
  if (good * 100 < presses * kAdaptiveGoodPercent)
    return std::max(speedPercent - kSpeedStepPercent, player::kSlowestSpeedPercent);
  return speedPercent;
}

static bool SameLoopSet() {
  return player::LoopStage() == player::kLoopSet && player::LoopGeneration() == state.loopGeneration;
}

bool AdaptiveLoopOn() {
  if (state.on && !SameLoopSet()) state.on = false;
  return state.on;
}

bool ToggleAdaptiveLoop() {
  if (player::LoopStage() != player::kLoopSet) return state.on = false;
  state.on = !AdaptiveLoopOn();
  state.loopGeneration = player::LoopGeneration();
  return state.on;
}

void BeginLoopPasses() {
  state.notesAtPassStart = NotesPlayed();
  state.missesAtPassStart = Misses();
  state.lastPass = {};
}

// "%1".."%4" of a pattern filled in.
static std::string Filled(const char* pattern, const int (&values)[4]) {
  std::string text;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] >= '1' && p[1] <= '4') text += std::to_string(values[*++p - '1']);
    else text += *p;
  }
  return text;
}

std::string LoopPassText(const LoopPass& pass) {
  return Filled(report::InPlayersLanguage(kLoopPassLine), {pass.number, pass.good, pass.presses, pass.nextSpeedPercent});
}

void EndLoopPass() {
  if (player::RunMode() != player::PlayMode::Training || !AdaptiveLoopOn()) return;
  const int presses = NotesPlayed() - state.notesAtPassStart;
  const int good = presses - (Misses() - state.missesAtPassStart);
  const int speed = SpeedAfterPass(player::PlaybackSpeedPercent(), good, presses);
  state.lastPass = {state.lastPass.number + 1, good, presses, speed};
  state.notesAtPassStart = NotesPlayed();
  state.missesAtPassStart = Misses();
  // The jump re-anchored the clock: the next pass runs at the new speed
  // from its first tick.
  player::SetPlaybackSpeedPercent(speed);
  DrawTempoDisplay(player::HeardTempo());
  ShowLyricBarText(LoopPassText(state.lastPass));
}

LoopPass LastLoopPass() { return state.lastPass; }

}  // namespace game
