// The main screen's piano: twenty keys showing notes 60 to 79, each drawn
// from the artwork in one of four looks.
#pragma once

namespace game {

inline constexpr int kPianoKeys = 20;
inline constexpr int kPianoLowestNote = 60;  // the note of key 0 on the display

// Key looks.
inline constexpr int kKeyLookUp = 0;
inline constexpr int kKeyLookLit = 1;
inline constexpr int kKeyLookLitOctaveBelow = 2;  // the note is an octave below the key shown
inline constexpr int kKeyLookLitOctaveAbove = 3;  // the note is an octave above the key shown

// Draws key `key` (a note minus 60) in a look. Keys from -12 to -1 and 20
// to 31 light the key an octave away with an arrow look; keys further out
// are ignored.
void DrawPianoKey(int key, int look);
// All twenty keys up.
void DrawAllKeysUp();
// Every key again in the look it shows, with its names when the view shows
// them (the view changed).
void RedrawPianoKeys();

}  // namespace game
