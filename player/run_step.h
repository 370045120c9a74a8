// A run's frame step: the clock advances every frame, and in training and
// game it halts at each guide chord until the player takes it.
#pragma once

#include <cstdint>

#include "player/happenings.h"
#include "player/play_mode.h"

namespace player {

// One frame of the run: the song moves on, or stands at the guide's chord.
Happenings AdvancePlayback();

// The count-in: while on, a training or a game begins with one measure of
// clicks, and the song after it. StartPlayback begins it.
void SetCountInOn(bool on);
bool CountInOn();
void BeginCountInIfOn(PlayMode mode);
// How long until the song begins, in the player's milliseconds (0 once it
// has, or without a count-in).
std::int64_t CountInRemainingMs();

// Whether playback stands halted at the guide's chord (a press's offset
// counts from the moment it halted).
bool HaltedAtGuide();
void ClearHaltAtGuide();
// Whether the run stands at a guide chord that still waits for the player:
// until input comes nothing moves with time.
bool WaitingForPlayer();

}  // namespace player
