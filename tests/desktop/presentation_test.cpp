// The desktop presentation in a real X server: a known frame composed on
// the back screen is presented, and a screenshot of the window shows it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "draw/eldraw.h"
#include "platform/desktop/desktop.h"
#include "platform/platform.h"
#include "xvfb.h"

namespace {

struct Image {
  int width = 0, height = 0;
  std::string rgb;
  std::uint32_t At(int x, int y) const {
    const auto at = static_cast<std::size_t>((y * width + x) * 3);
    return static_cast<std::uint32_t>(static_cast<unsigned char>(rgb[at])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(rgb[at + 1])) << 8 |
           static_cast<unsigned char>(rgb[at + 2]);
  }
};

// Reads a screenshot of a window through ImageMagick as binary PPM.
Image Screenshot(const std::string& window, const std::string& savedAs) {
  std::system(("import -window " + window + " " + savedAs + " 2>/dev/null").c_str());
  Image image;
  const std::string ppm = test::RunCommand("convert " + savedAs + " ppm:- 2>/dev/null | base64 -w0");
  // Decode base64 (the pipe keeps binary data intact this way).
  std::string bytes;
  int value = 0, bits = -8;
  for (char c : ppm) {
    const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const char* at = std::strchr(table, c);
    if (at == nullptr || c == '\0') continue;
    value = (value << 6) + static_cast<int>(at - table);
    bits += 6;
    if (bits >= 0) {
      bytes.push_back(static_cast<char>((value >> bits) & 0xFF));
      bits -= 8;
    }
  }
  std::istringstream in(bytes);
  std::string magic;
  int maximum = 0;
  in >> magic >> image.width >> image.height >> maximum;
  in.get();
  image.rgb = bytes.substr(static_cast<std::size_t>(in.tellg()));
  return image;
}

// Equal but for the low bits a 5-6-5 frame cannot hold.
bool Near(std::uint32_t a, std::uint32_t b) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 8) return false;
  return true;
}

TEST(DesktopPresentation, PresentedFrameAppearsInTheWindow) {
  test::Xvfb display;
  ASSERT_TRUE(display.Running());
  ASSERT_TRUE(platform::CreateMainWindow("Tonquill presentation", false, 640, 480));
  draw::SetFullScreenFlag(false);
  ASSERT_EQ(elDraw::Screen(640, 480, 1), 1);
  // Four quarters: red, green, blue, white.
  draw::Surface& screen = draw::BackScreen();
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      screen.At(x, y) = draw::RgbToPixel(y < 240 ? (x < 320 ? 0xFF0000 : 0x00FF00) : (x < 320 ? 0x0000FF : 0xFFFFFF));
  for (int i = 0; i < 5; ++i) {
    elDraw::Present();
    usleep(50 * 1000);
  }
  const std::string window = test::WaitForWindow("Tonquill presentation", 10);
  ASSERT_FALSE(window.empty());
  const Image shot = Screenshot(window, TONQUILL_BINARY_DIR "/presentation.png");
  ASSERT_EQ(shot.width, 640);
  ASSERT_EQ(shot.height, 480);
  EXPECT_TRUE(Near(shot.At(100, 100), 0xFF0000u)) << std::hex << shot.At(100, 100);
  EXPECT_TRUE(Near(shot.At(500, 100), 0x00FF00u)) << std::hex << shot.At(500, 100);
  EXPECT_TRUE(Near(shot.At(100, 400), 0x0000FFu)) << std::hex << shot.At(100, 400);
  EXPECT_TRUE(Near(shot.At(500, 400), 0xFFFFFFu)) << std::hex << shot.At(500, 400);
  elDraw::Release();
  platform::DestroyMainWindow();
}

// A window created without the flag its renderer needs would be destroyed
// and created again when the renderer is made (a second full-screen switch
// before the first picture).
TEST(DesktopPresentation, TheFullScreenWindowIsCreatedOnce) {
  test::Xvfb display;
  ASSERT_TRUE(display.Running());
  ASSERT_TRUE(platform::CreateMainWindow("Tonquill once", true, 640, 480));
  const unsigned long created = platform::desktop::MainWindowId();
  EXPECT_NE(created, 0u);
  ASSERT_TRUE(platform::OpenPresentation(640, 480));
  EXPECT_EQ(platform::desktop::MainWindowId(), created);
  platform::DestroyMainWindow();
}

}  // namespace
