#include "game/play_mode.h"

namespace game {

static int playMode = kPlayModeTraining;
static int performanceModeFlag = 1;
static int mainCommand = kCommandInitial;

int PlayMode() { return playMode; }
void SetPlayMode(int mode) {
  playMode = mode;
  performanceModeFlag = mode == kPlayModeDemo ? 0 : 1;
}
int PerformanceModeFlag() { return performanceModeFlag; }
void SetPerformanceModeFlag(int flag) { performanceModeFlag = flag; }
int MainCommand() { return mainCommand; }
void SetMainCommand(int command) { mainCommand = command; }

void ResetPlayMode() {
  playMode = kPlayModeTraining;
  performanceModeFlag = 1;
  mainCommand = kCommandInitial;
}

}  // namespace game
