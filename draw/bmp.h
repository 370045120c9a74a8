// Decoding Windows BMP files (uncompressed 8, 24 and 32 bits per pixel).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace draw {

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;  // 0xRRGGBB, top row first
};

// Decodes a BMP; false for anything else, truncated or unsupported.
bool DecodeBmp(std::string_view bytes, Bitmap& out);

// The picture of that name ("BASC"): a file of that name beside the program
// wins over the bitmap built into it. False when there is neither.
bool ReadPicture(const char* name, Bitmap& bitmap);

}  // namespace draw
