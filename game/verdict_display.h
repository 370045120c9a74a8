// The main screen's timing panel and score, as each judged press leaves
// them: a verdict is drawn when it differs from the one shown.
#pragma once

#include "game/judging.h"

namespace game {

void ShowJudgement(const Judgement& judgement);
// The verdict the timing panel shows (kVerdictNone for none).
int ShownVerdict();
// A run is starting: its first verdict is always drawn.
void ForgetShownVerdict();

}  // namespace game
