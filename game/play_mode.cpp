#include "game/play_mode.h"

#include "player/guide_track.h"

namespace game {

static int playMode = kPlayModeTraining;
static int mainCommand = kCommandInitial;

int PlayMode() { return playMode; }
void SetPlayMode(int mode) {
  playMode = mode;
  player::SetPerformanceModeFlag(mode == kPlayModeDemo ? 0 : 1);
}
int MainCommand() { return mainCommand; }
void SetMainCommand(int command) { mainCommand = command; }

void ResetPlayMode() {
  playMode = kPlayModeTraining;
  player::SetPerformanceModeFlag(1);
  mainCommand = kCommandInitial;
}

}  // namespace game
