// In-memory 16-bit 5-6-5 surfaces: the back screen and every object's
// picture. A surface has an optional source colour key and can be locked for
// direct pixel access.
#pragma once

#include <cstdint>
#include <vector>

#include "draw/colour_order.h"
#include "platform/rgb565.h"

namespace draw {

using Pixel = std::uint16_t;

struct Surface {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;
  bool hasColorKey = false;
  Pixel colorKey = 0;
  int locks = 0;

  Surface() = default;
  Surface(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0) {}

  Pixel* Lock() {
    ++locks;
    return pixels.data();
  }
  void Unlock() {
    if (locks > 0) --locks;
  }
  Pixel& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
  Pixel At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// A 0xRRGGBB colour as a 5-6-5 pixel, each channel truncated.
constexpr Pixel RgbToPixel(std::uint32_t rgb) { return platform::RgbToRgb565(rgb); }

// A GDI colour (0x00BBGGRR) as a 5-6-5 pixel.
constexpr Pixel ColorRefToPixel(std::uint32_t colorRef) {
  return RgbToPixel(SwapColourOrder(colorRef));
}

// A 5-6-5 pixel back to 0xRRGGBB (low bits replicated).
constexpr std::uint32_t PixelToRgb(Pixel p) {
  const std::uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
  return (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}

}  // namespace draw
