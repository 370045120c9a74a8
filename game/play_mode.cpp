#include "game/play_mode.h"

namespace game {

static int playMode = kPlayModeTraining;
static int mainCommand = kCommandInitial;

int PlayMode() { return playMode; }
void SetPlayMode(int mode) { playMode = mode; }
int MainCommand() { return mainCommand; }
void SetMainCommand(int command) { mainCommand = command; }

void ResetPlayMode() {
  playMode = kPlayModeTraining;
  mainCommand = kCommandInitial;
}

}  // namespace game
