// What the desktop backend asks the X server behind SDL's window directly.
// On any other video driver these answer "nothing known".
#include "platform/desktop/x11_display.h"

#include "platform/desktop/desktop.h"
#include "platform/desktop/input_wait.h"

namespace platform::desktop {

bool X11WindowOf(SDL_Window* sdlWindow, Display*& display, Window& window) {
  if (sdlWindow == nullptr) return false;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(sdlWindow, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return false;
  display = info.info.x11.display;
  window = info.info.x11.window;
  return true;
}

// The X display and window of the main window, when it is an X window.
static bool X11Window(Display*& display, Window& window) { return X11WindowOf(MainWindow(), display, window); }

// Set by the error handler while a window that may be gone is asked about.
static bool requestFailed = false;

static int NoteFailedRequest(Display*, XErrorEvent*) {
  requestFailed = true;
  return 0;
}

bool WindowManagerRunning(SDL_Window* sdlWindow) {
  Display* display = nullptr;
  Window window = 0;
  if (!X11WindowOf(sdlWindow, display, window)) return true;  // not X: the compositor manages windows
  // A window manager that follows the desktop conventions names a window of
  // its own on the root window, and that window names itself again.
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  auto supportingWindow = [display, check](Window of, Window& found) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const bool ok = XGetWindowProperty(display, of, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &remaining, &data) ==
                        Success &&
                    type == XA_WINDOW && format == 32 && count == 1;
    if (ok) found = *reinterpret_cast<Window*>(data);
    if (data != nullptr) XFree(data);
    return ok;
  };
  // A manager that ended without cleaning up leaves its mark on the root
  // window, naming a window that is gone: asking about it must not end the
  // program (Xlib's own handler exits on the error).
  Window announced = 0, confirmed = 0;
  if (!supportingWindow(DefaultRootWindow(display), announced)) return false;
  XSync(display, False);
  requestFailed = false;
  const auto previousHandler = XSetErrorHandler(NoteFailedRequest);
  const bool answered = supportingWindow(announced, confirmed);
  XSync(display, False);
  XSetErrorHandler(previousHandler);
  return answered && !requestFailed && announced == confirmed;
}

void AskForFullScreenState(SDL_Window* sdlWindow) {
  Display* display = nullptr;
  Window window = 0;
  if (!X11WindowOf(sdlWindow, display, window)) return;
  const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
  const Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
  XChangeProperty(display, window, state, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&fullScreen), 1);
}

bool PointerOnScreen(int& x, int& y) {
  Display* display = nullptr;
  Window window = 0;
  if (!X11Window(display, window)) return false;
  Window root = 0, child = 0;
  int windowX = 0, windowY = 0;
  unsigned int buttons = 0;
  return XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &windowX, &windowY, &buttons) == True;
}

unsigned long MainWindowId() {
  Display* display = nullptr;
  Window window = 0;
  return X11Window(display, window) ? window : 0;
}

bool X11EventsWaiting(int& descriptor) {
  descriptor = -1;
  Display* display = nullptr;
  Window window = 0;
  if (!X11Window(display, window)) return false;
  // Requests still in Xlib's buffer go out first (nothing would answer
  // them otherwise), and what the server has sent is read without waiting.
  if (XEventsQueued(display, QueuedAfterFlush) > 0) return true;
  descriptor = ConnectionNumber(display);
  return false;
}

void SyncWithDisplay() {
  Display* display = nullptr;
  Window window = 0;
  if (X11Window(display, window)) XSync(display, False);
}

}  // namespace platform::desktop
