#include "game/play_mode.h"
#include "base/module_state.h"

namespace game {

namespace {
struct State {
  int mainCommand = kCommandInitial;
};
base::ModuleState<State> state;
}  // namespace

int MainCommand() { return state.mainCommand; }
void SetMainCommand(int command) { state.mainCommand = command; }

}  // namespace game
