#include "game/panels.h"

#include "draw/redraw.h"

namespace game {

// The panels are drawn from the artwork once the screen exists; until then
// each one only asks for the screen to be presented.
void DrawTitlePanel() { draw::RequestRedraw(); }
void DrawPositionDisplay(int, int) { draw::RequestRedraw(); }
void DrawSignatureDisplay() { draw::RequestRedraw(); }
void DrawSmallNumber(int, int, int, int) { draw::RequestRedraw(); }
void DrawBigNumber(int, int, int, int) { draw::RequestRedraw(); }
void DrawVerdictPanel(int, int, int) { draw::RequestRedraw(); }
void ShowLyricLine() { draw::RequestRedraw(); }
void ResetLyricBar() {}
void DrawModeButtonsRaised() { draw::RequestRedraw(); }

}  // namespace game
