#include "draw/bright_copy.h"

#include "draw/eldraw.h"
#include "draw/redraw.h"

namespace draw {

// One channel of a pixel, scaled, back in its place.
static std::uint32_t Scaled(std::uint32_t pixel, const ChannelFormat& channel, float brightness) {
  const auto value = static_cast<std::uint32_t>(static_cast<float>((pixel & channel.mask) >> channel.shift) * brightness);
  return (value << channel.shift) & channel.mask;
}

void DrawBrightCopy(int x, int y, float brightness, int object, int left, int top, int right, int bottom) {
  Surface* source = ObjectSurface(object);
  Surface& target = BackScreen();
  if (source == nullptr || target.pixels.empty()) return;  // no picture or no screen yet
  if (!ClipCopy(x, y, left, top, right, bottom)) return;
  const PixelFormat& format = ScreenPixelFormat();
  source->Lock();
  target.Lock();
  for (int sy = top; sy < bottom; ++sy) {
    for (int sx = left; sx < right; ++sx) {
      const int tx = x + sx - left, ty = y + sy - top;
      if (!source->Contains(sx, sy) || !target.Contains(tx, ty)) continue;
      const Pixel p = source->At(sx, sy);
      if (p == 0) continue;
      target.At(tx, ty) = static_cast<Pixel>(Scaled(p, format.red, brightness) | Scaled(p, format.green, brightness) |
                                             Scaled(p, format.blue, brightness));
    }
  }
  target.Unlock();
  source->Unlock();
  RequestRedraw();
}

}  // namespace draw
