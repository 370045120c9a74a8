// The main command that the main screen's controls keep (the play mode is
// the run's: player::RunMode()).
#pragma once

namespace game {

// What the main screen is doing, or is asked to do next.
enum class Command { Exit, Stopped, Initial, Running, Ranking };
inline constexpr Command kCommandExit = Command::Exit;
inline constexpr Command kCommandStopped = Command::Stopped;
inline constexpr Command kCommandInitial = Command::Initial;
inline constexpr Command kCommandRunning = Command::Running;
inline constexpr Command kCommandRanking = Command::Ranking;

Command MainCommand();
void SetMainCommand(Command command);

}  // namespace game
