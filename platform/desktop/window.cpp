// The program's window on the desktop.
#include <SDL.h>

#include "platform/desktop/desktop.h"

namespace platform::desktop {

static SDL_Window* mainWindow = nullptr;

SDL_Window* MainWindow() { return mainWindow; }

}  // namespace platform::desktop
