// Faces of the buttons the artwork leaves blank: a text that tells the
// button's current setting (PART its part, SPEED its percentage, LOOP its
// range of measures), drawn over the button's face.
#pragma once

#include <string>

namespace game {

// The text button `button` shows now; empty for a button without a face.
std::string ButtonFaceText(int button);
// Draws that text centred on the button on the back screen (the face is
// restored from the artwork first). Called whenever such a button is drawn
// raised or pressed, and when what it shows changes.
void DrawButtonFace(int button);

}  // namespace game
