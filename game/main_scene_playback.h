// The main scene's playback step: the clock advances every frame, and in
// training and game it halts at each guide note until the player takes it.
#pragma once

namespace game {

// One frame's playback step of the main scene.
void RunPlaybackStep();

// 1 while playback waits at the guide note for the player.
bool HaltedAtGuide();
void ClearHaltedAtGuide();
// Whether the run stands at a guide chord that still waits for the player:
// until input comes nothing moves with time.
bool WaitingForPlayer();
void ResetMainScenePlayback();

}  // namespace game
