// The program's window on the desktop. It is created once: 640 x 480 in
// window mode, or covering the desktop without borders in full screen. A
// full-screen window is placed and sized by the program itself, so that it
// covers the desktop even where no window manager obeys the full-screen
// request, and asks for the full-screen state before it is first shown
// (SDL's own request, made after the window is shown, waits up to 100 ms
// for a window manager that may not be there).
#include <SDL.h>

#include "platform/desktop/desktop.h"
#include "platform/platform.h"

namespace platform::desktop {

// The window and whether it covers the desktop.
static SDL_Window* mainWindow = nullptr;
static bool mainWindowFullScreen = false;

SDL_Window* MainWindow() { return mainWindow; }
bool MainWindowIsFullScreen() { return mainWindowFullScreen; }

void TakeFocusBack() {
  if (mainWindow != nullptr && !WindowManagerRunning(mainWindow))
    SDL_SetWindowInputFocus(mainWindow);
}

}  // namespace platform::desktop

namespace platform {

using desktop::mainWindow;

bool CreateMainWindow(const char* title, bool fullScreen, int width, int height) {
  if (!desktop::StartVideo()) return false;
  int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
  Uint32 flags = 0;
  if (fullScreen) {
    flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
    SDL_Rect desktopArea;
    if (SDL_GetDisplayBounds(0, &desktopArea) == 0) {
      x = desktopArea.x;
      y = desktopArea.y;
      width = desktopArea.w;
      height = desktopArea.h;
    }
  }
  mainWindow = SDL_CreateWindow(title, x, y, width, height, flags);
  if (mainWindow == nullptr) return false;
  desktop::mainWindowFullScreen = fullScreen;
  if (fullScreen) {
    desktop::AskForFullScreenState(mainWindow);
    SDL_ShowWindow(mainWindow);
  }
  // A new window comes to the front with the keyboard (with no window
  // manager, SDL gives it the focus itself).
  SDL_RaiseWindow(mainWindow);
  // The program learns where its client area lies as from any later move.
  int left = 0, top = 0;
  SDL_GetWindowPosition(mainWindow, &left, &top);
  desktop::QueueEvent({EventKind::WindowMoved, left, top});
  return true;
}

void DestroyMainWindow() {
  ClosePresentation();
  if (mainWindow) SDL_DestroyWindow(mainWindow);
  mainWindow = nullptr;
}

void SetWindowIcon(const std::uint32_t* rgb, int width, int height) {
  if (mainWindow == nullptr || width <= 0 || height <= 0) return;
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (icon == nullptr) return;
  for (int row = 0; row < height; ++row) {
    auto* line = reinterpret_cast<Uint32*>(static_cast<Uint8*>(icon->pixels) + row * icon->pitch);
    for (int column = 0; column < width; ++column) line[column] = 0xFF000000u | rgb[row * width + column];
  }
  SDL_SetWindowIcon(mainWindow, icon);
  SDL_FreeSurface(icon);
}

}  // namespace platform
