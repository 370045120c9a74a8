// The faces of the buttons that show a setting: SPEED its percentage, LOOP
// its range of measures.
#pragma once

#include <string>

namespace game {

// The text on button `button`'s face; empty for a button without a face.
std::string ButtonFaceText(int button);
// Draws that text centred on the button on the back screen (the button's
// inside is first put back from the artwork). Called whenever such a
// button is drawn raised or pressed and when its setting changes.
void DrawButtonFace(int button);

}  // namespace game
