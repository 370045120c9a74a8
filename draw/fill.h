// Plain filled rectangles on the back screen, for pictures the program
// draws itself rather than copies from the artwork (the statistics scene's
// panels, plot and chart).
#pragma once

#include <cstdint>

namespace draw {

// Fills left..right-1 x top..bottom-1, clipped to the clip rectangle, with
// a 0xRRGGBB colour, and raises the redraw-request flag.
void FillBox(int left, int top, int right, int bottom, std::uint32_t rgb);

}  // namespace draw
