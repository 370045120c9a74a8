// What the tests of the real desktop share: temporary folders, a window
// manager, the game started as a user starts it, and the screen, pointer
// and focus read straight from the X server.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct _XDisplay;

namespace test {

// A rectangle on the screen; right and bottom exclusive.
struct Area {
  int left, top, right, bottom;
};

// Checks a condition every 20 ms until it holds or `seconds` have passed.
bool WaitUntil(const std::function<bool()>& condition, double seconds);
// Lets real time pass: for a test that must give the machine time to do
// nothing (a silence, a pause), never to wait for a condition.
void SleepMs(int ms);

// A fresh temporary folder, removed with everything in it at destruction.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// openbox managing the current display until the end of the test.
class WindowManager {
 public:
  WindowManager();
  ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;
  bool Running() const { return running_; }
  // Ends the manager at once, leaving its marks on the display behind.
  void Crash();

 private:
  pid_t pid_ = -1;
  bool running_ = false;
};

// The tonquill executable started in the background, in a private folder
// that is also its working folder and single-instance folder, with the
// synthesizer recording to a file and the input log on. `environment` adds
// or replaces variables ("LANG=ja_JP.UTF-8"); `program` is another copy of
// the game to start (an installed one).
class Game {
 public:
  explicit Game(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {},
                const std::string& program = TONQUILL_BINARY_DIR "/tonquill");
  ~Game();  // ends the game if it still runs
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  // Waits up to `seconds` for the game to end; its exit status, or -1.
  int WaitForExit(double seconds);
  bool Running();
  pid_t Pid() const { return pid_; }
  // The game's private folder (its single-instance lock lies there).
  const std::string& Folder() const { return folder_.Path(); }
  // What the game wrote to its standard output and error.
  std::string Output() const;
  // The input log, one event a line ("LeftDown 599 195 0").
  std::vector<std::string> InputLog() const;
  // Waits up to `seconds` for a line of the input log that begins with
  // `prefix`, after the first `skip` lines; its index, or -1.
  int WaitForInput(const std::string& prefix, double seconds, int skip = 0) const;

 private:
  TemporaryFolder folder_;
  pid_t pid_ = -1;
  int status_ = -1;
};

// A white window of another client over a rectangle of the screen, until
// the end of its scope: override-redirect (no window manager moves it), or
// `managed`, a program's window that a window manager brings to the front
// with the keyboard.
class CoveringWindow {
 public:
  explicit CoveringWindow(const Area& area, bool managed = false);
  // Its X window id, as FocusedWindow names it.
  std::string Id() const;
  ~CoveringWindow();
  CoveringWindow(const CoveringWindow&) = delete;
  CoveringWindow& operator=(const CoveringWindow&) = delete;

 private:
  ::_XDisplay* display_ = nullptr;
  unsigned long window_ = 0;
};

// The colour of a screen pixel now, as 0xRRGGBB.
std::uint32_t ScreenPixel(int x, int y);
// The pixels of a screen rectangle as bytes, to compare with another
// reading of it.
std::string ScreenArea(int x, int y, int width, int height);
// Equal within `tolerance` in each channel.
bool NearColour(std::uint32_t a, std::uint32_t b, int tolerance = 12);
// The pointer on the screen.
void PointerPosition(int& x, int& y);
// The window that has the keyboard focus, as xwininfo names it ("0x400006").
std::string FocusedWindow();
// True when the cursor the server shows now has no visible pixel.
bool CursorIsBlank();
// How many pixels of a screen rectangle are dark (each channel below
// `darkBelow`: 0x60 is black ink, 0xC0 takes in the grey of a thin line).
int DarkPixels(int x, int y, int width, int height, int darkBelow = 0x60);
// The dark pixels of `count` cells side by side from (x, y), each cell as
// a string of '#' (dark) and '.' row by row.
std::vector<std::string> DarkPatterns(int x, int y, int cellWidth, int cellHeight, int count);
// A window's place and size on the screen, from xwininfo.
Area WindowArea(const std::string& window);

// Where the game's 640 x 480 picture lies in a full-screen window of the
// given size, scaled with its aspect kept and centred (right and bottom
// exclusive), and where one of its pixels appears: worked out here from the
// sizes alone.
Area PictureArea(int width, int height);
void PictureToScreen(int width, int height, int x, int y, int& screenX, int& screenY);

// A pixel of a BMP file, read with ImageMagick, as 0xRRGGBB.
std::uint32_t BmpPixel(const std::string& path, int x, int y);

// The artwork the game draws its screens from.
inline const std::string kArtwork = TONQUILL_SOURCE_DIR "/assets/BASC.bmp";
// The artwork's title panel and the background below the lyric bar are
// where they belong in the window, whose client area is width x height.
bool WindowShowsTheArtwork(const std::string& window, int width = 640, int height = 480);

}  // namespace test
