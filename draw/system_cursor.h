// Whether the program's own calls leave the system cursor visible.
#pragma once

namespace draw {

// 1 at start; mirrors the program's ShowSystemCursor calls.
bool SystemCursorShown();

// Shows or hides the system cursor when that changes the flag, so the
// show/hide balance never drifts.
void SetSystemCursorShown(bool shown);

void ResetSystemCursor();

}  // namespace draw
