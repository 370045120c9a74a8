// What the desktop backend's own files share; never seen by the program.
#pragma once

struct SDL_Window;

namespace platform::desktop {

// The program's main window, or nullptr before it exists.
SDL_Window* MainWindow();

// The event pump saw the renderer lose its textures (a device reset).
void NoteSurfacesLost();

// Raises the window for every second copy that asked since the last call.
void ServeRaiseRequests();

}  // namespace platform::desktop
