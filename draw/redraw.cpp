#include "draw/redraw.h"

namespace draw {

static bool redrawRequested = false;

void RequestRedraw() { redrawRequested = true; }
bool RedrawRequested() { return redrawRequested; }
void ClearRedrawRequest() { redrawRequested = false; }

}  // namespace draw
