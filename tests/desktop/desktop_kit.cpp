#include "desktop_kit.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "xvfb.h"

namespace test {

namespace {

// The current display for one question.
struct Connection {
  Display* display = XOpenDisplay(nullptr);
  ~Connection() {
    if (display != nullptr) XCloseDisplay(display);
  }
};

void EndProcess(pid_t pid) {
  kill(pid, SIGTERM);
  if (!WaitUntil([pid] { return waitpid(pid, nullptr, WNOHANG) == pid; }, 5)) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

TemporaryFolder::TemporaryFolder() {
  const char* temporary = std::getenv("TMPDIR");
  std::string pattern = std::string(temporary != nullptr && *temporary != '\0' ? temporary : "/tmp") + "/tonquill-desktop-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

WindowManager::WindowManager() {
  pid_ = fork();
  if (pid_ == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
    _exit(127);
  }
  running_ = WaitUntil([] { return RunCommand("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") != std::string::npos; },
                       kStartUpSeconds);
}

WindowManager::~WindowManager() {
  if (pid_ > 0) EndProcess(pid_);
}

void WindowManager::Crash() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
  running_ = false;
}

Game::Game(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
           const std::string& program) {
  const std::string folder = folder_.Path();
  pid_ = fork();
  if (pid_ == 0) {
    setenv("TONQUILL_INSTANCE_DIR", folder.c_str(), 1);
    setenv("TONQUILL_SYNTH_WAV", (folder + "/game.wav").c_str(), 1);
    setenv("TONQUILL_INPUT_LOG", (folder + "/input.log").c_str(), 1);
    for (const std::string& assignment : environment) {
      const std::size_t equals = assignment.find('=');
      setenv(assignment.substr(0, equals).c_str(), assignment.substr(equals + 1).c_str(), 1);
    }
    const int output = open((folder + "/output.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(output, 1);
    dup2(output, 2);
    std::vector<char*> argv{const_cast<char*>("tonquill")};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (chdir(folder.c_str()) != 0) _exit(126);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
}

Game::~Game() {
  if (Running()) EndProcess(pid_);
}

bool Game::Running() {
  if (pid_ <= 0 || status_ >= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return false;
}

int Game::WaitForExit(double seconds) {
  WaitUntil([this] { return !Running(); }, seconds);
  return status_;
}

std::string Game::Output() const {
  std::ifstream in(folder_.Path() + "/output.txt");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Game::InputLog() const {
  std::vector<std::string> lines;
  std::ifstream in(folder_.Path() + "/input.log");
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

int Game::WaitForInput(const std::string& prefix, double seconds, int skip) const {
  int found = -1;
  WaitUntil(
      [&] {
        const std::vector<std::string> lines = InputLog();
        for (int i = skip; i < static_cast<int>(lines.size()); ++i)
          if (lines[static_cast<std::size_t>(i)].rfind(prefix, 0) == 0) {
            found = i;
            return true;
          }
        return false;
      },
      seconds);
  return found;
}

CoveringWindow::CoveringWindow(const Area& area, bool managed) : display_(XOpenDisplay(nullptr)) {
  if (display_ == nullptr) return;
  XSetWindowAttributes attributes{};
  attributes.override_redirect = managed ? False : True;
  attributes.background_pixel = WhitePixel(display_, DefaultScreen(display_));
  window_ = XCreateWindow(display_, DefaultRootWindow(display_), area.left, area.top,
                          static_cast<unsigned>(area.right - area.left), static_cast<unsigned>(area.bottom - area.top), 0,
                          CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
  if (managed) {
    // Placed where the test put it, as a user's program asks to be.
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = area.left;
    hints.y = area.top;
    hints.width = area.right - area.left;
    hints.height = area.bottom - area.top;
    XSetWMNormalHints(display_, window_, &hints);
    XStoreName(display_, window_, "Another program");
  }
  XMapRaised(display_, window_);
  XSync(display_, False);
}

std::string CoveringWindow::Id() const {
  std::ostringstream id;
  id << "0x" << std::hex << window_;
  return id.str();
}

CoveringWindow::~CoveringWindow() {
  if (display_ == nullptr) return;
  XDestroyWindow(display_, window_);
  XSync(display_, False);
  XCloseDisplay(display_);
}

std::uint32_t ScreenPixel(int x, int y) {
  Connection x11;
  if (x11.display == nullptr) return 0;
  XImage* image = XGetImage(x11.display, DefaultRootWindow(x11.display), x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return 0;
  const std::uint32_t pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
  XDestroyImage(image);
  return pixel;
}

std::string ScreenArea(int x, int y, int width, int height) {
  Connection x11;
  if (x11.display == nullptr || width <= 0 || height <= 0) return "";
  XImage* image = XGetImage(x11.display, DefaultRootWindow(x11.display), x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) return "";
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(width * height * 3));
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column) {
      const unsigned long pixel = XGetPixel(image, column, row);
      bytes += static_cast<char>(pixel >> 16);
      bytes += static_cast<char>(pixel >> 8);
      bytes += static_cast<char>(pixel);
    }
  XDestroyImage(image);
  return bytes;
}

bool NearColour(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

void PointerPosition(int& x, int& y) {
  Connection x11;
  x = y = -1;
  if (x11.display == nullptr) return;
  Window root = 0, child = 0;
  int windowX = 0, windowY = 0;
  unsigned int buttons = 0;
  XQueryPointer(x11.display, DefaultRootWindow(x11.display), &root, &child, &x, &y, &windowX, &windowY, &buttons);
}

std::string FocusedWindow() {
  Connection x11;
  if (x11.display == nullptr) return "";
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(x11.display, &focus, &revert);
  std::ostringstream id;
  id << "0x" << std::hex << focus;
  return id.str();
}

bool CursorIsBlank() {
  Connection x11;
  if (x11.display == nullptr) return false;
  XFixesCursorImage* cursor = XFixesGetCursorImage(x11.display);
  if (cursor == nullptr) return false;
  bool blank = true;
  for (int i = 0; i < cursor->width * cursor->height; ++i)
    if ((cursor->pixels[i] >> 24) != 0) blank = false;
  XFree(cursor);
  return blank;
}

// Each pixel of a screen rectangle, '#' when dark (each channel below
// `darkBelow`) and '.' otherwise, row by row; "" when it cannot be read.
static std::string DarkMap(int x, int y, int width, int height, unsigned long darkBelow = 0x60) {
  Connection x11;
  if (x11.display == nullptr || width <= 0 || height <= 0) return "";
  XImage* image = XGetImage(x11.display, DefaultRootWindow(x11.display), x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) return "";
  std::string map;
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column) {
      const unsigned long p = XGetPixel(image, column, row);
      map.push_back(((p >> 16) & 0xFF) < darkBelow && ((p >> 8) & 0xFF) < darkBelow && (p & 0xFF) < darkBelow ? '#' : '.');
    }
  XDestroyImage(image);
  return map;
}

int DarkPixels(int x, int y, int width, int height, int darkBelow) {
  const std::string map = DarkMap(x, y, width, height, static_cast<unsigned long>(darkBelow));
  return static_cast<int>(std::count(map.begin(), map.end(), '#'));
}

std::vector<std::string> DarkPatterns(int x, int y, int cellWidth, int cellHeight, int count) {
  std::vector<std::string> cells;
  for (int i = 0; i < count; ++i) cells.push_back(DarkMap(x + i * cellWidth, y, cellWidth, cellHeight));
  return cells;
}

Area WindowArea(const std::string& window) {
  const std::string numbers = RunCommand("xwininfo -id " + window +
                                         " | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} "
                                         "/Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'");
  std::istringstream in(numbers);
  int x = 0, y = 0, width = 0, height = 0;
  in >> x >> y >> width >> height;
  return {x, y, x + width, y + height};
}

static double PictureScale(int width, int height) { return std::min(width / 640.0, height / 480.0); }

Area PictureArea(int width, int height) {
  const double scale = PictureScale(width, height);
  const int pictureWidth = static_cast<int>(640 * scale), pictureHeight = static_cast<int>(480 * scale);
  const int left = (width - pictureWidth) / 2, top = (height - pictureHeight) / 2;
  return {left, top, left + pictureWidth, top + pictureHeight};
}

void PictureToScreen(int width, int height, int x, int y, int& screenX, int& screenY) {
  const double scale = PictureScale(width, height);
  const Area area = PictureArea(width, height);
  screenX = area.left + static_cast<int>((x + 0.5) * scale);
  screenY = area.top + static_cast<int>((y + 0.5) * scale);
}

std::uint32_t BmpPixel(const std::string& path, int x, int y) {
  const std::string line = RunCommand("convert '" + path + "' -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
                                      " txt:- 2>/dev/null | tail -1");
  const std::size_t hash = line.find('#');
  return hash == std::string::npos ? 0xFFFFFFFFu : static_cast<std::uint32_t>(std::stoul(line.substr(hash + 1, 6), nullptr, 16));
}

bool WindowShowsTheArtwork(const std::string& window, int width, int height) {
  const Area area = WindowArea(window);
  for (const auto& [pictureX, pictureY] : {std::pair{300, 100}, std::pair{300, 250}}) {
    int x = 0, y = 0;
    PictureToScreen(width, height, pictureX, pictureY, x, y);
    if (!NearColour(ScreenPixel(area.left + x, area.top + y), BmpPixel(kArtwork, pictureX, pictureY))) return false;
  }
  return true;
}

}  // namespace test
