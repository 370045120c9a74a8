// A copy of an object's picture onto the back screen with every colour
// channel scaled: the score screens fade their prompt with it.
#pragma once

namespace draw {

// Copies the source rectangle of an object to (x, y), clipped like Put,
// skipping source pixels whose value is 0 and multiplying each channel of
// the others by `brightness` (0.2 to 1.0), truncated. Nothing is drawn
// before the screen is set up or from an empty object.
void DrawBrightCopy(int x, int y, float brightness, int object, int left, int top, int right, int bottom);

}  // namespace draw
