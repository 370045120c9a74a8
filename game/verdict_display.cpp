#include "game/verdict_display.h"

#include "base/module_state.h"
#include "game/panels.h"

namespace game {

// The verdict on the timing panel.
namespace {
struct State {
  int shownVerdict = kVerdictNone;
};
base::ModuleState<State> state;
}  // namespace

int ShownVerdict() { return state.shownVerdict; }
void ForgetShownVerdict() { state.shownVerdict = kVerdictNone; }
void ShowJudgement(const Judgement& judgement) {
  if (judgement.verdict != state.shownVerdict) {
    state.shownVerdict = judgement.verdict;
    DrawVerdictPanel(kVerdictX, kVerdictY, judgement.verdict);
  }
  DrawScore(judgement.score);
}

}  // namespace game
