// The pixel format of every frame the program shows and of every surface it
// composes: 16 bits, 5 of red, 6 of green and 5 of blue.
#pragma once

#include <cstdint>

namespace platform {

// A 0xRRGGBB colour as a 5-6-5 pixel, each channel truncated.
constexpr std::uint16_t RgbToRgb565(std::uint32_t rgb) {
  return static_cast<std::uint16_t>((((rgb >> 19) & 0x1F) << 11) | (((rgb >> 10) & 0x3F) << 5) | ((rgb >> 3) & 0x1F));
}

}  // namespace platform
