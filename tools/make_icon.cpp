// Build tool: draws the desktop icon from the window's icon picture (MAIN,
// 32 x 32) at another size, as a PNG. Each pixel of the icon averages the
// part of the picture it covers, so whole multiples stay crisp and 48 px is
// smoothed evenly rather than doubling every other pixel.
//   make_icon MAIN.bmp SIZE OUTPUT.png
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "draw/bmp.h"

namespace {

// Averages the source over the square [x0, x1) x [y0, y1), in source pixels.
std::uint32_t AverageOver(const draw::Bitmap& picture, double x0, double x1, double y0, double y1) {
  double sum[3] = {0, 0, 0}, area = 0;
  for (int y = static_cast<int>(y0); y < picture.height && y < y1; ++y) {
    const double height = std::min<double>(y + 1, y1) - std::max<double>(y, y0);
    for (int x = static_cast<int>(x0); x < picture.width && x < x1; ++x) {
      const double weight = height * (std::min<double>(x + 1, x1) - std::max<double>(x, x0));
      const std::uint32_t rgb = picture.rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                                            static_cast<std::size_t>(x)];
      for (int channel = 0; channel < 3; ++channel) sum[channel] += weight * ((rgb >> (16 - 8 * channel)) & 0xFF);
      area += weight;
    }
  }
  std::uint32_t rgb = 0;
  for (int channel = 0; channel < 3; ++channel)
    rgb |= static_cast<std::uint32_t>(sum[channel] / area + 0.5) << (16 - 8 * channel);
  return rgb;
}

// The picture at size x size, rows of RGB bytes each led by PNG's "no
// filter" byte.
std::vector<unsigned char> ScaledRows(const draw::Bitmap& picture, int size) {
  std::vector<unsigned char> rows;
  const double sx = static_cast<double>(picture.width) / size, sy = static_cast<double>(picture.height) / size;
  for (int y = 0; y < size; ++y) {
    rows.push_back(0);
    for (int x = 0; x < size; ++x) {
      const std::uint32_t rgb = AverageOver(picture, x * sx, (x + 1) * sx, y * sy, (y + 1) * sy);
      rows.push_back(static_cast<unsigned char>(rgb >> 16));
      rows.push_back(static_cast<unsigned char>(rgb >> 8));
      rows.push_back(static_cast<unsigned char>(rgb));
    }
  }
  return rows;
}

void Put32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
  Put32(out, static_cast<std::uint32_t>(data.size()));
  const std::string typed = type + data;
  out += typed;
  Put32(out, static_cast<std::uint32_t>(
                 crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

bool WritePng(const std::string& path, int size, const std::vector<unsigned char>& rows) {
  uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, rows.data(), static_cast<uLong>(rows.size()),
                Z_BEST_COMPRESSION) != Z_OK)
    return false;
  packed.resize(packedSize);
  std::string header;
  Put32(header, static_cast<std::uint32_t>(size));
  Put32(header, static_cast<std::uint32_t>(size));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter choice, not interlaced
  std::string png("\x89PNG\r\n\x1a\n", 8);
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", "");
  std::ofstream out(path, std::ios::binary);
  out.write(png.data(), static_cast<std::streamsize>(png.size()));
  return out.good();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_icon MAIN.bmp SIZE OUTPUT.png\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  draw::Bitmap picture;
  if (!in || !draw::DecodeBmp(bytes, picture) || picture.width <= 0 || picture.height <= 0) {
    std::fprintf(stderr, "make_icon: %s is not a picture this tool reads\n", argv[1]);
    return 1;
  }
  const int size = std::atoi(argv[2]);
  if (size < 1 || size > 1024) {
    std::fprintf(stderr, "make_icon: the size must be 1 to 1024 pixels\n");
    return 2;
  }
  if (!WritePng(argv[3], size, ScaledRows(picture, size))) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
