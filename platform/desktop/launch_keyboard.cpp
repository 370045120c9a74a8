// Shift held while the program starts: read from the X server's keymap,
// before the program has a window of its own.
#include "platform/platform.h"

// Xlib after our own header: it defines macros such as CursorShape.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace platform {

bool ShiftHeldAtLaunch() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  char keys[32] = {};
  XQueryKeymap(display, keys);
  bool held = false;
  for (KeySym shift : {XK_Shift_L, XK_Shift_R}) {
    const KeyCode code = XKeysymToKeycode(display, shift);
    if (code != 0 && (keys[code / 8] & (1 << (code % 8)))) held = true;
  }
  XCloseDisplay(display);
  return held;
}

}  // namespace platform
