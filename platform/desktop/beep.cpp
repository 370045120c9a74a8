// The system alert sound: the X server's bell, or the terminal's.
#include "platform/platform.h"

// Xlib after our own header: it defines macros such as CursorShape.
#include <X11/Xlib.h>

#include <cstdio>

namespace platform {

void Beep() {
  if (Display* display = XOpenDisplay(nullptr)) {
    XBell(display, 0);
    XFlush(display);
    XCloseDisplay(display);
  } else {
    std::fputc('\a', stderr);
  }
}

}  // namespace platform
