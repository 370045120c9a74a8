// A run's frame step: the clock advances every frame, and in training and
// game it halts at each guide chord until the player takes it.
#pragma once

#include "player/happenings.h"

namespace player {

// One frame of the run: the song moves on, or stands at the guide's chord.
Happenings AdvancePlayback();

// Whether playback stands halted at the guide's chord (a press's offset
// counts from the moment it halted).
bool HaltedAtGuide();
void ClearHaltAtGuide();
// Whether the run stands at a guide chord that still waits for the player:
// until input comes nothing moves with time.
bool WaitingForPlayer();

}  // namespace player
