#include "game/panels.h"

namespace game {

// The title panel is drawn once the screen exists; the song store calls this
// whenever the title changes.
void DrawTitlePanel() {}

}  // namespace game
