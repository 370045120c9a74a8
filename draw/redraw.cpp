#include "draw/redraw.h"

namespace draw {

namespace {
struct State {
  bool redrawRequested = false;
};
State state;
}  // namespace

void RequestRedraw() { state.redrawRequested = true; }
bool RedrawRequested() { return state.redrawRequested; }
void ClearRedrawRequest() { state.redrawRequested = false; }

void ResetRedraw() { state = {}; }

}  // namespace draw
