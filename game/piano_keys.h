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

// The piano area's top row. With the notes ahead in view the lane lies
// between it and kShortKeysTop, and the keys are drawn shorter beneath it:
// only the lowest rows of their upper parts, so everything from the black
// keys' lower ends down (where the keys' labels go) stays as it is.
inline constexpr int kPianoAreaTop = 264;
inline constexpr int kShortKeysTop = 360;
// The row the keys begin at in the view in force.
int PianoKeysTop();

// Where key `key` (0..19) meets the lane: a black key's columns, or a white
// key's upper part between its black neighbours; right is past the last.
struct KeySpan {
  int left, right;
};
KeySpan KeyTopSpan(int key);

// The key (0..19) that shows key `key` (-12..31), and the octave its arrow
// look points to: -1 the note lies an octave below it, +1 above, 0 none.
struct KeyShown {
  int key;
  int octave;
};
KeyShown KeyShowing(int key);

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
