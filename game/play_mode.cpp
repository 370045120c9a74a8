#include "game/play_mode.h"

namespace game {

namespace {
struct State {
  int playMode = kPlayModeTraining;
  int mainCommand = kCommandInitial;
};
State state;
}  // namespace

int PlayMode() { return state.playMode; }
void SetPlayMode(int mode) { state.playMode = mode; }
int MainCommand() { return state.mainCommand; }
void SetMainCommand(int command) { state.mainCommand = command; }

void ResetPlayMode() {
  state = {};
}

}  // namespace game
