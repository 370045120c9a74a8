#include "draw/bmp.h"

#include <cstring>

namespace draw {

namespace {

std::uint32_t Le32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint16_t Le16(std::string_view b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

constexpr int kLargestSide = 16384;

}  // namespace

bool DecodeBmp(std::string_view b, Bitmap& out) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return false;
  const std::uint32_t dataOffset = Le32(b, 10);
  const std::uint32_t headerSize = Le32(b, 14);
  if (headerSize < 40 || 14 + static_cast<std::size_t>(headerSize) > b.size()) return false;
  const auto width = static_cast<std::int32_t>(Le32(b, 18));
  const auto rawHeight = static_cast<std::int32_t>(Le32(b, 22));
  const int bits = Le16(b, 28);
  const std::uint32_t compression = Le32(b, 30);
  const bool topDown = rawHeight < 0;
  const std::int64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
  if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) return false;
  if ((bits != 8 && bits != 24 && bits != 32) || (compression != 0 && !(compression == 3 && bits == 32))) return false;
  const std::size_t rowBytes = ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32) * 4;
  if (dataOffset > b.size() || rowBytes * static_cast<std::size_t>(height) > b.size() - dataOffset) return false;

  std::vector<std::uint32_t> palette;
  if (bits == 8) {
    std::uint32_t colours = Le32(b, 46);
    if (colours == 0 || colours > 256) colours = 256;
    const std::size_t paletteAt = 14 + headerSize;
    if (paletteAt + colours * 4 > dataOffset) return false;
    for (std::uint32_t i = 0; i < colours; ++i) palette.push_back(Le32(b, paletteAt + i * 4) & 0xFFFFFF);
    palette.resize(256, 0);
  }
  out.width = width;
  out.height = static_cast<int>(height);
  out.rgb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  for (std::int64_t row = 0; row < height; ++row) {
    const std::size_t source = dataOffset + rowBytes * static_cast<std::size_t>(topDown ? row : height - 1 - row);
    std::uint32_t* target = out.rgb.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
    for (std::int32_t x = 0; x < width; ++x) {
      const auto* p = reinterpret_cast<const unsigned char*>(b.data() + source);
      if (bits == 8) target[x] = palette[p[x]];
      else {
        const std::size_t at = static_cast<std::size_t>(x) * static_cast<std::size_t>(bits / 8);
        target[x] = static_cast<std::uint32_t>(p[at + 2]) << 16 | static_cast<std::uint32_t>(p[at + 1]) << 8 | p[at];
      }
    }
  }
  return true;
}

}  // namespace draw
