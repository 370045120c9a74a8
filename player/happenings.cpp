#include "player/happenings.h"
#include "base/module_state.h"

#include <utility>

namespace player {

// What happened since the last entry point returned.
namespace {
struct State {
  std::vector<Happening> noted;
};
base::ModuleState<State> state;
}  // namespace

void Report(Happening::Kind kind, int a, int b) { state.noted.push_back({kind, a, b}); }

Happenings TakeHappenings() { return {std::exchange(state.noted, {})}; }

}  // namespace player
