// The X side of an SDL window, for the backend files that speak to the X
// server themselves. Includes Xlib: never before platform/platform.h (Xlib
// defines macros such as CursorShape).
#pragma once

#include <SDL.h>
#include <SDL_syswm.h>

namespace platform::desktop {

// The X display and window behind an SDL window; false when it is not an
// X window.
bool X11WindowOf(SDL_Window* sdlWindow, Display*& display, Window& window);

}  // namespace platform::desktop
