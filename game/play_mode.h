// The main command that the main screen's controls keep (the play mode is
// the run's: player::RunMode()).
#pragma once

namespace game {

// Main command values.
inline constexpr int kCommandExit = 0;
inline constexpr int kCommandStopped = 1;
inline constexpr int kCommandInitial = 2;
inline constexpr int kCommandRunning = 3;
inline constexpr int kCommandRanking = 4;

int MainCommand();
void SetMainCommand(int command);

}  // namespace game
