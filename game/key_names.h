// The piano keys' names: on each key, near its bottom, the computer key
// that plays it as the player's keyboard layout types it, and on a white
// key the note's name (C D E F G A B, or ド レ ミ ファ ソ ラ シ for a
// Japanese player). A black key has two names (C sharp or D flat, by the
// song's key), so it shows its computer key only.
#pragma once

#include <string>

namespace game {

// Whether the view in force shows the names.
bool KeyNamesShown();
// The note's name on key `key` (0..19) in the player's language, UTF-8;
// empty for a black key.
std::string NoteNameOfKey(int key);
// Draws key `key`'s names over the key just drawn: `centreX` is the middle
// of the part of the key that reaches the bottom, `bottom` the key's lowest
// row, `width` the room the names may take.
void DrawKeyNames(int key, int centreX, int bottom, int width, bool black);

}  // namespace game
