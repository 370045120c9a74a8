// SDL's video subsystem, started once and only on a display a user sees.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform/desktop/desktop.h"

namespace platform::desktop {

// Set once SDL could only offer a stand-in driver: no display.
static bool noDisplay = false;

// SDL falls back to drivers that draw into memory when there is no display;
// a game started that way would run invisibly for ever.
static bool StandInDriver(const char* name) {
  return name != nullptr && (std::strcmp(name, "offscreen") == 0 || std::strcmp(name, "dummy") == 0);
}

bool StartVideo() {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
  if (noDisplay) return false;
  // Closing the window leads to the exit question, not straight out: only
  // a terminate or interrupt signal still arrives as SDL's quit event.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // A click that reaches the window together with the focus is a click:
  // the loop that sleeps until input reads both at once, and SDL would
  // otherwise drop a press that comes within 10 ms of the focus.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    noDisplay = true;
    return false;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if (StandInDriver(driver) && (asked == nullptr || std::strstr(asked, driver) == nullptr)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    noDisplay = true;
    return false;
  }
  // Window pixels are filled by the processor and handed to the X server as
  // they are (shared memory); SDL would otherwise start OpenGL to carry
  // them. Other drivers have no such path and keep SDL's own.
  if (driver != nullptr && std::strcmp(driver, "x11") == 0) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  return true;
}

}  // namespace platform::desktop
