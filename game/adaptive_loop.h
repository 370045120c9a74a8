// The self-setting loop of TRAINING: after each pass through a set loop
// SPEED goes up a step when every press of the pass was Good (to full speed
// at most), down a step when fewer than 70 % were (to the slowest at least),
// and otherwise stays; the lyric bar says how the pass went. Shift+F7 turns
// it on and off while a loop is set; it holds for that loop only.
#pragma once

#include <string>

#include "report/report.h"

namespace game {

// A pass below this share of Good presses (percent) slows the next one.
inline constexpr int kAdaptiveGoodPercent = 70;
// %1 the pass, %2 its Good presses, %3 its presses, %4 the next pass's speed.
inline constexpr report::PlayerText kLoopPassLine = {"%1 回目：%3 回中 %2 回 Good、速さ %4 %",
                                                     "pass %1: %2 of %3 Good, speed %4 %"};

struct LoopPass {
  int number = 0;  // from 1
  int good = 0;
  int presses = 0;
  int nextSpeedPercent = 0;
};

// The speed of the next pass after one with `good` of `presses` Good (a
// pass without presses keeps the speed).
int SpeedAfterPass(int speedPercent, int good, int presses);

// On, or off again, while a loop is set; a loop set anew turns it off.
// True when it is on afterwards.
bool ToggleAdaptiveLoop();
bool AdaptiveLoopOn();
// A run starts: its first pass begins.
void BeginLoopPasses();
// The loop jumped back in TRAINING with the self-setting loop on: the pass
// that ended sets the speed of the next, and the bar says so.
void EndLoopPass();
// The last pass that ended in this run (number 0 before any).
LoopPass LastLoopPass();
std::string LoopPassText(const LoopPass& pass);

}  // namespace game
