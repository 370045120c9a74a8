// The redraw-request flag: raised by every drawing operation, read by the
// scene at the end of its frame to decide whether to present the screen.
#pragma once

namespace draw {

void RequestRedraw();
bool RedrawRequested();
void ClearRedrawRequest();

}  // namespace draw
