#include "draw/redraw.h"
#include "base/module_state.h"

namespace draw {

namespace {
struct State {
  bool redrawRequested = false;
};
base::ModuleState<State> state;
}  // namespace

void RequestRedraw() { state.redrawRequested = true; }
bool RedrawRequested() { return state.redrawRequested; }
void ClearRedrawRequest() { state.redrawRequested = false; }

}  // namespace draw
