#include "game/main_command.h"

#include "base/module_state.h"

namespace game {

namespace {
struct State {
  Command mainCommand = kCommandInitial;
};
base::ModuleState<State> state;
}  // namespace

Command MainCommand() { return state.mainCommand; }
void SetMainCommand(Command command) { state.mainCommand = command; }

}  // namespace game
