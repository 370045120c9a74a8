// The mouse cursor on the desktop: its shape and visibility, its
// confinement and its position.
#include <SDL.h>

#include "platform/desktop/desktop.h"
#include "platform/platform.h"

namespace platform::desktop {

// The rectangle the program confined the pointer to (program coordinates
// in full screen, screen coordinates of the client area in a window), and
// the two cursor shapes, made at their first use.
static bool confined = false;
static SDL_Rect confinement{};
static SDL_Cursor* arrowCursor = nullptr;
static SDL_Cursor* waitCursor = nullptr;

void ApplyConfinement() {
  SDL_Window* window = MainWindow();
  if (!confined || window == nullptr) return;
  int left = confinement.x, top = confinement.y;
  int right = confinement.x + confinement.w, bottom = confinement.y + confinement.h;
  if (!MainWindowIsFullScreen()) {
    // The client area's screen coordinates to the picture's own.
    int windowX = 0, windowY = 0;
    SDL_GetWindowPosition(window, &windowX, &windowY);
    left -= windowX, right -= windowX;
    top -= windowY, bottom -= windowY;
  }
  PictureToWindow(left, top, left, top);
  PictureToWindow(right, bottom, right, bottom);
  const SDL_Rect area{left, top, right - left, bottom - top};
  SDL_SetWindowMouseRect(window, &area);
}

}  // namespace platform::desktop

namespace platform {

void SetCursorShape(CursorShape shape) {
  using desktop::arrowCursor, desktop::waitCursor;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;  // no window yet
  if (arrowCursor == nullptr) arrowCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  if (waitCursor == nullptr) waitCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
  SDL_Cursor* cursor = shape == CursorShape::Wait ? waitCursor : arrowCursor;
  if (cursor != nullptr) SDL_SetCursor(cursor);
}

void ShowSystemCursor(bool shown) {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

void ConfineCursor(int left, int top, int right, int bottom) {
  desktop::confined = true;
  desktop::confinement = {left, top, right - left, bottom - top};
  desktop::ApplyConfinement();
}

void ReleaseCursor() {
  desktop::confined = false;
  if (SDL_Window* window = desktop::MainWindow()) SDL_SetWindowMouseRect(window, nullptr);
}

void CursorPosition(int& x, int& y) {
  // Over the window its own motion events tell exactly where the pointer
  // is; elsewhere the server is asked (SDL's global position can be stale
  // after absolute pointer moves).
  SDL_Window* window = desktop::MainWindow();
  if (window != nullptr && SDL_GetMouseFocus() == window) {
    int windowX = 0, windowY = 0;
    SDL_GetWindowPosition(window, &windowX, &windowY);
    SDL_GetMouseState(&x, &y);
    x += windowX;
    y += windowY;
    return;
  }
  if (!desktop::PointerOnScreen(x, y)) SDL_GetGlobalMouseState(&x, &y);
}

}  // namespace platform
