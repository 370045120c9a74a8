// The file chooser is another program's window: left alone, GTK sizes its
// chooser from the font and it can come up larger than the screen (shown
// maximised). The game finds the dialog's window by its process and gives
// it a normal size, centred on the game's window.
#include "platform/desktop/desktop.h"
#include "platform/desktop/x11_display.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace platform::desktop {

namespace {

// Set by the error handler: a window may go away while it is asked about.
bool requestFailed = false;

constexpr int kNormalWidth = 760;
constexpr int kNormalHeight = 540;

int NoteFailedRequest(Display*, XErrorEvent*) {
  requestFailed = true;
  return 0;
}

bool OwnedByProcess(Display* display, Window window, long pid) {
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  const bool ok = XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                                     &remaining, &data) == Success &&
                  type == XA_CARDINAL && format == 32 && count == 1 &&
                  static_cast<long>(*reinterpret_cast<unsigned long*>(data)) == pid;
  if (data != nullptr) XFree(data);
  return ok;
}

bool Shown(Display* display, Window window, XWindowAttributes& attributes) {
  return XGetWindowAttributes(display, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

// The process's shown top-level window: a child of the root, or of a window
// manager's frame there.
Window FindShownWindow(Display* display, long pid, XWindowAttributes& attributes) {
  Window found = 0;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) return 0;
  for (unsigned int i = 0; i < count && found == 0; ++i) {
    if (OwnedByProcess(display, children[i], pid)) {
      if (Shown(display, children[i], attributes)) found = children[i];
      continue;
    }
    Window* inner = nullptr;
    unsigned int innerCount = 0;
    if (XQueryTree(display, children[i], &root, &parent, &inner, &innerCount) == 0) continue;
    for (unsigned int j = 0; j < innerCount && found == 0; ++j)
      if (OwnedByProcess(display, inner[j], pid) && Shown(display, inner[j], attributes)) found = inner[j];
    if (inner != nullptr) XFree(inner);
  }
  if (children != nullptr) XFree(children);
  return found;
}

void GiveNormalSize(Display* display, Window dialog, const XWindowAttributes& attributes) {
  const int screenWidth = WidthOfScreen(attributes.screen), screenHeight = HeightOfScreen(attributes.screen);
  if (attributes.width * 10 <= screenWidth * 9 && attributes.height * 10 <= screenHeight * 9) return;  // it fits
  int width = std::min(kNormalWidth, screenWidth * 9 / 10), height = std::min(kNormalHeight, screenHeight * 9 / 10);
  XSizeHints hints{};
  long supplied = 0;
  if (XGetWMNormalHints(display, dialog, &hints, &supplied) != 0 && (hints.flags & PMinSize) != 0) {
    width = std::max(width, hints.min_width);
    height = std::max(height, hints.min_height);
  }
  int x = (screenWidth - width) / 2, y = (screenHeight - height) / 2;
  if (SDL_Window* game = MainWindow()) {
    int left = 0, top = 0, gameWidth = 0, gameHeight = 0;
    SDL_GetWindowPosition(game, &left, &top);
    SDL_GetWindowSize(game, &gameWidth, &gameHeight);
    x = left + (gameWidth - width) / 2;
    y = top + (gameHeight - height) / 2;
  }
  x = std::clamp(x, 0, std::max(0, screenWidth - width));
  y = std::clamp(y, 0, std::max(0, screenHeight - height));
  XMoveResizeWindow(display, dialog, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

}  // namespace

bool FitDialogOfProcess(long pid) {
  Display* display = nullptr;
  Window gameWindow = 0;
  if (!X11WindowOf(MainWindow(), display, gameWindow)) return true;  // not X: nothing to do
  XSync(display, False);
  requestFailed = false;
  const auto previousHandler = XSetErrorHandler(NoteFailedRequest);
  XWindowAttributes attributes{};
  const Window dialog = FindShownWindow(display, pid, attributes);
  const bool found = dialog != 0 && !requestFailed;
  if (found) GiveNormalSize(display, dialog, attributes);
  XSync(display, False);
  XSetErrorHandler(previousHandler);
  return found;
}

}  // namespace platform::desktop
