// The processor's scaling of the 5-6-5 picture into window pixels: where
// the picture lands, the black around it, the nearest-pixel rows and
// columns, and the exact widening of each channel (worked out by hand:
// a 5-bit value v becomes v << 3 | v >> 2, a 6-bit one v << 2 | v >> 4).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/desktop/picture_scaler.h"

namespace {

using platform::desktop::PicturePlace;
using platform::desktop::PictureRect;
using platform::desktop::PictureScaler;

void ExpectPlace(const PictureRect& place, int x, int y, int width, int height) {
  EXPECT_EQ(place.x, x);
  EXPECT_EQ(place.y, y);
  EXPECT_EQ(place.width, width);
  EXPECT_EQ(place.height, height);
}

TEST(PictureScaler, ThePictureKeepsItsAspectCentredInTheWindow) {
  ExpectPlace(PicturePlace(640, 480, 640, 480), 0, 0, 640, 480);
  ExpectPlace(PicturePlace(640, 480, 1024, 768), 0, 0, 1024, 768);
  ExpectPlace(PicturePlace(640, 480, 1920, 1080), 240, 0, 1440, 1080);  // bars left and right
  ExpectPlace(PicturePlace(640, 480, 800, 1000), 0, 200, 800, 600);     // bars above and below
  ExpectPlace(PicturePlace(640, 480, 0, 480), 0, 0, 0, 0);              // a minimised window
}

struct Window {
  int width, height;
  std::vector<std::uint32_t> pixels;
  Window(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, 0xDEADBEEF) {}
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A 640 x 480 picture: red left half, green right half, a blue last column
// and a grey last row.
std::vector<std::uint16_t> TestPicture() {
  std::vector<std::uint16_t> picture(640 * 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) picture[y * 640 + x] = x == 639 ? 0x001F : y == 479 ? 0x8410 : x < 320 ? 0xF800 : 0x07E0;
  return picture;
}

TEST(PictureScaler, FillsTheWindowWithThePictureAndBlackAroundIt) {
  const std::vector<std::uint16_t> picture = TestPicture();
  Window window(1920, 1080);
  PictureScaler scaler;
  scaler.Prepare(640, 480, window.width, window.height, 16, 8, 0);
  scaler.Scale(picture.data(), 640, window.pixels.data(), window.width * 4);
  EXPECT_EQ(window.At(0, 0), 0u);        // the bar left of the picture
  EXPECT_EQ(window.At(239, 1079), 0u);
  EXPECT_EQ(window.At(1680, 500), 0u);   // the bar right of it
  EXPECT_EQ(window.At(1919, 0), 0u);
  EXPECT_EQ(window.At(240, 0), 0xFF0000u);   // the picture's first column
  EXPECT_EQ(window.At(959, 500), 0xFF0000u); // 719 * 640 / 1440 = 319: still red
  EXPECT_EQ(window.At(960, 500), 0x00FF00u); // 720 * 640 / 1440 = 320: green
  EXPECT_EQ(window.At(1677, 500), 0x00FF00u);
  EXPECT_EQ(window.At(1678, 500), 0x0000FFu); // 1438 * 640 / 1440 = 639: the blue column
  EXPECT_EQ(window.At(1679, 500), 0x0000FFu);
  EXPECT_EQ(window.At(600, 1077), 0xFF0000u);  // 1077 * 480 / 1080 = 478.67: red
  EXPECT_EQ(window.At(600, 1078), 0x848284u);  // 1078 * 480 / 1080 = 479.1: the grey row
  EXPECT_EQ(window.At(600, 1079), 0x848284u);
}

TEST(PictureScaler, WritesTheChannelsWhereTheWindowKeepsThem) {
  const std::vector<std::uint16_t> picture = TestPicture();
  Window window(640, 480);
  PictureScaler scaler;
  scaler.Prepare(640, 480, 640, 480, 0, 8, 16);  // blue high, red low
  EXPECT_TRUE(scaler.PreparedFor(640, 480, 0, 8, 16));
  EXPECT_FALSE(scaler.PreparedFor(640, 480, 16, 8, 0));
  scaler.Scale(picture.data(), 640, window.pixels.data(), 640 * 4);
  EXPECT_EQ(window.At(10, 10), 0x0000FFu);   // red
  EXPECT_EQ(window.At(639, 10), 0xFF0000u);  // blue
  EXPECT_EQ(window.At(10, 479), 0x848284u);  // grey is the same either way round
  // Prepared again for another window, it fills that one whole.
  Window tall(800, 1000);
  scaler.Prepare(640, 480, 800, 1000, 16, 8, 0);
  scaler.Scale(picture.data(), 640, tall.pixels.data(), 800 * 4);
  EXPECT_EQ(tall.At(400, 199), 0u);
  EXPECT_EQ(tall.At(100, 200), 0xFF0000u);
  EXPECT_EQ(tall.At(799, 799), 0x0000FFu);
  EXPECT_EQ(tall.At(400, 800), 0u);
  for (std::uint32_t pixel : tall.pixels) ASSERT_NE(pixel, 0xDEADBEEFu);
}

}  // namespace
