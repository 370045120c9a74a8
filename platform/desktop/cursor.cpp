// The mouse cursor's shape on the desktop.
#include <SDL.h>

#include "platform/platform.h"

namespace platform {

void SetCursorShape(CursorShape shape) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;  // no window yet
  static SDL_Cursor* arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  static SDL_Cursor* wait = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
  SDL_Cursor* cursor = shape == CursorShape::Wait ? wait : arrow;
  if (cursor != nullptr) SDL_SetCursor(cursor);
}

}  // namespace platform
