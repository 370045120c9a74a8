// The play mode and the main command that the main screen's controls keep.
#pragma once

namespace game {

inline constexpr int kPlayModeDemo = 0;
inline constexpr int kPlayModeTraining = 5;
inline constexpr int kPlayModeGame = 7;
// Play mode bits: bit 0 halts playback at each guide note; bits 1 and 2
// together (the game) refuse every key but the guide note's.
inline constexpr int kHaltsAtGuide = 1;
inline constexpr int kRefusesWrongKeys = 6;

// Main command values.
inline constexpr int kCommandExit = 0;
inline constexpr int kCommandStopped = 1;
inline constexpr int kCommandInitial = 2;
inline constexpr int kCommandRunning = 3;
inline constexpr int kCommandRanking = 4;

int PlayMode();
// Sets the play mode and with it the guide's performance mode flag (1 for
// training and game, 0 for the demonstration).
void SetPlayMode(int mode);

int MainCommand();
void SetMainCommand(int command);

void ResetPlayMode();

}  // namespace game
