#include "draw/fill.h"

#include <algorithm>

#include "draw/eldraw.h"
#include "draw/redraw.h"

namespace draw {

void FillBox(int left, int top, int right, int bottom, std::uint32_t rgb) {
  Surface& screen = BackScreen();
  const ClipRect& clip = Clip();
  left = std::max({left, clip.left, 0});
  top = std::max({top, clip.top, 0});
  right = std::min({right, clip.right, screen.width});
  bottom = std::min({bottom, clip.bottom, screen.height});
  const Pixel pixel = RgbToPixel(rgb);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) screen.At(x, y) = pixel;
  RequestRedraw();
}

}  // namespace draw
