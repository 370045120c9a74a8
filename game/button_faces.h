// Faces of the buttons the artwork leaves blank: a text that tells the
// button's current setting (PART its part, SPEED its percentage, LOOP its
// range of measures), drawn over the button's face.
#pragma once

#include <string>

namespace game {

// What a face shows: its text, dimmed while its setting does not apply
// (LOOP while a game, which is always the whole song, plays).
struct ButtonFace {
  std::string text;
  bool dimmed = false;
  bool operator==(const ButtonFace&) const = default;
};

// The face button `button` shows now; no text for a button without one.
ButtonFace ButtonFaceOf(int button);
std::string ButtonFaceText(int button);
// Draws that face centred on the button on the back screen (the face is
// restored from the artwork first). The main screen calls it whenever the
// face changes and after drawing the whole screen; a press or release
// draws only the bevel and leaves the face as it is.
void DrawButtonFace(int button);

}  // namespace game
