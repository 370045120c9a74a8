#include "game/play_mode.h"

namespace game {

namespace {
struct State {
  int mainCommand = kCommandInitial;
};
State state;
}  // namespace

int MainCommand() { return state.mainCommand; }
void SetMainCommand(int command) { state.mainCommand = command; }

void ResetPlayMode() {
  state = {};
}

}  // namespace game
