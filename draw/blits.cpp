// Copies onto the back screen, lines and bevels.
#include <algorithm>
#include <cstdlib>

#include "base/module_state.h"
#include "draw/eldraw.h"
#include "draw/redraw.h"

namespace draw {

// The remembered pressed box and its state.
namespace {
struct State {
  int pressedBox[4] = {0, 0, 0, 0};
  int pressedBoxState = kBoxNone;
};
base::ModuleState<State> state;
}  // namespace

int PressedBoxState() { return state.pressedBoxState; }
void SetPressedBoxState(int boxState) { state.pressedBoxState = boxState; }
void PressBox(int left, int top, int right, int bottom) {
  state.pressedBox[0] = left;
  state.pressedBox[1] = top;
  state.pressedBox[2] = right;
  state.pressedBox[3] = bottom;
  elDraw::Bevel(left, top, right, bottom, elDraw::kBevelSunken);
  state.pressedBoxState = kBoxMomentary;
}

void ReleaseBox() {
  if (state.pressedBoxState != kBoxNone)
    elDraw::Bevel(state.pressedBox[0], state.pressedBox[1], state.pressedBox[2], state.pressedBox[3], elDraw::kBevelRaised);
}

bool ClipCopy(int& x, int& y, int& left, int& top, int& right, int& bottom) {
  const ClipRect& c = Clip();
  if (x + (right - left) > c.right) right -= x + (right - left) - c.right;
  if (y + (bottom - top) > c.bottom) bottom -= y + (bottom - top) - c.bottom;
  if (x < c.left) {
    left += c.left - x;
    x = c.left;
  }
  if (y < c.top) {
    top += c.top - y;
    y = c.top;
  }
  return right >= left && bottom >= top;
}

// The clipped copy shared by Put and PutKeyed.
static void ClippedCopy(int x, int y, int object, int left, int top, int right, int bottom, bool keyed) {
  Surface* source = ObjectSurface(object);
  if (!ClipCopy(x, y, left, top, right, bottom) || source == nullptr) return;
  Surface& target = BackScreen();
  // The source rectangle is the caller's; nothing outside either surface is
  // ever read or written.
  for (int sy = top; sy < bottom; ++sy) {
    const int ty = y + (sy - top);
    if (!source->Contains(0, sy) || !target.Contains(0, ty)) continue;
    for (int sx = left; sx < right; ++sx) {
      const int tx = x + (sx - left);
      if (!source->Contains(sx, sy) || !target.Contains(tx, ty)) continue;
      const Pixel p = source->At(sx, sy);
      if (keyed && source->hasColorKey && p == source->colorKey) continue;
      target.At(tx, ty) = p;
    }
  }
}

// One point of a line: a square of the pen's width, clipped to the screen.
static void Plot(int x, int y, Pixel colour, int penWidth) {
  Surface& target = BackScreen();
  const int from = -(penWidth - 1) / 2;
  for (int dy = from; dy < from + penWidth; ++dy)
    for (int dx = from; dx < from + penWidth; ++dx)
      if (target.Contains(x + dx, y + dy)) target.At(x + dx, y + dy) = colour;
}

}  // namespace draw

namespace elDraw {

using namespace draw;

void Put(int x, int y, int object, int left, int top, int right, int bottom) {
  ClippedCopy(x, y, object, left, top, right, bottom, false);
}

void PutKeyed(int x, int y, int object, int left, int top, int right, int bottom) {
  ClippedCopy(x, y, object, left, top, right, bottom, true);
}

void Line(int x1, int y1, int x2, int y2, std::uint32_t colorRef, int penWidth) {
  // Bresenham's line; as in GDI the end point itself is not drawn.
  const Pixel colour = ColorRefToPixel(colorRef);
  const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  const int stepX = x1 < x2 ? 1 : -1, stepY = y1 < y2 ? 1 : -1;
  int error = dx + dy;
  int x = x1, y = y1;
  while (x != x2 || y != y2) {
    Plot(x, y, colour, std::max(penWidth, 1));
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += stepX;
    }
    if (twice <= dx) {
      error += dx;
      y += stepY;
    }
  }
}

void Bevel(int left, int top, int right, int bottom, int style) {
  const std::uint32_t light = style == kBevelRaised ? kWhite : kGrey;
  const std::uint32_t dark = style == kBevelRaised ? kGrey : kWhite;
  const int thickness = style == kBevelThinSunken ? 2 : 3;
  right -= 1;
  bottom -= 1;
  for (int i = 0; i < thickness; ++i) {
    Line(left, top + i, right - i, top + i, light, 1);
    Line(left + i, bottom - i, right, bottom - i, dark, 1);
    Line(left + i, top, left + i, bottom - i, light, 1);
    Line(right - i, top + i, right - i, bottom, dark, 1);
  }
  draw::RequestRedraw();
}

}  // namespace elDraw
