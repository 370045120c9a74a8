// Colours come in two byte orders: 0xRRGGBB (the artwork and the screens'
// palettes) and the colour reference 0x00BBGGRR that text and colour keys
// take. One swap turns either into the other.
#pragma once

#include <cstdint>

namespace draw {

constexpr std::uint32_t SwapColourOrder(std::uint32_t colour) {
  return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

}  // namespace draw
