// The testing backend's window and presentation: every presented frame is
// kept and can be saved as a BMP; failures, depths and files are scripted.
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/testing/testing.h"

namespace platform {

// The scripted screen and what the program did with it.
static bool windowOpen = false;
static bool windowFullScreen = false;
static bool presentationOpen = false;
static bool presentationFails = false;
static bool verticalBlankFails = false;
static int desktopDepth = 24;
static int presentCount = 0;
static std::vector<std::uint16_t> lastFrame;
static int frameWidth = 0;
static int frameHeight = 0;
static bool cursorConfined = false;
static std::string programDirectory = "";
static int iconWidth = 0;
static int iconHeight = 0;

bool CreateMainWindow(const char*, bool fullScreen, int, int) {
  windowOpen = true;
  windowFullScreen = fullScreen;
  return true;
}
void DestroyMainWindow() { windowOpen = presentationOpen = false; }
void SetWindowIcon(const std::uint32_t*, int width, int height) {
  iconWidth = width;
  iconHeight = height;
}
bool OpenPresentation(int, int) {
  presentationOpen = !presentationFails;
  return presentationOpen;
}
void ClosePresentation() { presentationOpen = false; }
bool WaitVerticalBlank() { return !verticalBlankFails; }

void PresentFrame(const std::uint16_t* pixels, int width, int height, int pitch) {
  ++presentCount;
  frameWidth = width;
  frameHeight = height;
  lastFrame.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      lastFrame[static_cast<std::size_t>(y * width + x)] = pixels[static_cast<std::size_t>(y * pitch + x)];
}

int DesktopBitsPerPixel() { return desktopDepth; }
void ConfineCursor(int, int, int, int) { cursorConfined = true; }
void ReleaseCursor() { cursorConfined = false; }

bool ReadProgramFile(const char* name, std::string& bytes) {
  if (programDirectory.empty()) return false;
  std::ifstream in(programDirectory + "/" + name, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

namespace testing {

void ResetScreen() {
  windowOpen = windowFullScreen = presentationOpen = presentationFails = verticalBlankFails = false;
  desktopDepth = 24;
  presentCount = 0;
  lastFrame.clear();
  frameWidth = frameHeight = 0;
  cursorConfined = false;
  programDirectory.clear();
  iconWidth = iconHeight = 0;
}

void SetPresentationFails(bool fails) { presentationFails = fails; }
void SetVerticalBlankFails(bool fails) { verticalBlankFails = fails; }
void SetDesktopDepth(int bits) { desktopDepth = bits; }
void SetProgramDirectory(const std::string& directory) { programDirectory = directory; }
int PresentCount() { return presentCount; }
const std::vector<std::uint16_t>& LastFrame() { return lastFrame; }
bool WindowOpen() { return windowOpen; }
bool WindowFullScreen() { return windowFullScreen; }
bool CursorConfined() { return cursorConfined; }
int WindowIconWidth() { return iconWidth; }
int WindowIconHeight() { return iconHeight; }

bool WriteBmp(const std::string& path, int width, int height, const std::function<std::uint32_t(int, int)>& colour) {
  // A 24-bit BMP, bottom row first.
  const int rowBytes = (width * 3 + 3) & ~3;
  const std::uint32_t dataSize = static_cast<std::uint32_t>(rowBytes * height);
  std::string file(54, '\0');
  auto put32 = [&file](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, 54 + dataSize);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  file[26] = 1;
  file[28] = 24;
  put32(34, dataSize);
  for (int y = height - 1; y >= 0; --y) {
    std::string row(static_cast<std::size_t>(rowBytes), '\0');
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = colour(x, y);
      row[static_cast<std::size_t>(x * 3)] = static_cast<char>(c);
      row[static_cast<std::size_t>(x * 3 + 1)] = static_cast<char>(c >> 8);
      row[static_cast<std::size_t>(x * 3 + 2)] = static_cast<char>(c >> 16);
    }
    file += row;
  }
  std::ofstream out(path, std::ios::binary);
  out << file;
  return out.good();
}

bool SaveLastFrame(const std::string& path) {
  if (lastFrame.empty()) return false;
  return WriteBmp(path, frameWidth, frameHeight, [](int x, int y) {
    const std::uint16_t p = lastFrame[static_cast<std::size_t>(y * frameWidth + x)];
    return static_cast<std::uint32_t>((p >> 11) << 3) << 16 | static_cast<std::uint32_t>(((p >> 5) & 0x3F) << 2) << 8 |
           static_cast<std::uint32_t>((p & 0x1F) << 3);
  });
}

}  // namespace testing
}  // namespace platform
