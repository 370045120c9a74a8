// The play mode and the main command that the main screen's controls keep.
#pragma once

namespace game {

inline constexpr int kPlayModeDemo = 0;
inline constexpr int kPlayModeTraining = 5;
inline constexpr int kPlayModeGame = 7;

// Main command values.
inline constexpr int kCommandExit = 0;
inline constexpr int kCommandStopped = 1;
inline constexpr int kCommandInitial = 2;
inline constexpr int kCommandRunning = 3;
inline constexpr int kCommandRanking = 4;

int PlayMode();
// Sets the play mode and with it the performance mode flag (1 for
// training and game, 0 for the demonstration).
void SetPlayMode(int mode);
// 1 when key presses take the guide note.
int PerformanceModeFlag();
void SetPerformanceModeFlag(int flag);

int MainCommand();
void SetMainCommand(int command);

void ResetPlayMode();

}  // namespace game
