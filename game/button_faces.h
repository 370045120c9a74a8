// Faces of the buttons the artwork leaves blank: a text that tells the
// button's current setting (PART its part, SPEED its percentage, LOOP its
// range of measures), drawn over the button's face.
#pragma once

#include <string>

namespace game {

// The text button `button` shows now; empty for a button without a face.
std::string ButtonFaceText(int button);
// Draws that text centred on the button on the back screen (the face is
// restored from the artwork first). The main screen calls it whenever the
// text changes and after drawing the whole screen; a press or release
// draws only the bevel and leaves the face as it is.
void DrawButtonFace(int button);

}  // namespace game
