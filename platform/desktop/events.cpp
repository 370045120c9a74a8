// Input events on the desktop: SDL's events translated to the kinds the
// program handles, with close requests the program posts itself.
#include <SDL.h>

#include <deque>

#include "platform/desktop/desktop.h"
#include "platform/desktop/keyboard_map.h"
#include "platform/platform.h"

namespace platform {

// Close requests the program posted to itself.
static std::deque<Event> postedEvents;

// Translates one SDL event; false for events the program does not handle.
static bool Translate(const SDL_Event& e, Event& out) {
  switch (e.type) {
    case SDL_MOUSEMOTION:
      out = {EventKind::MouseMove, e.motion.x, e.motion.y};
      return true;
    case SDL_MOUSEBUTTONDOWN:
      if (e.button.button == SDL_BUTTON_LEFT) out = {e.button.clicks >= 2 ? EventKind::LeftDoubleClick : EventKind::LeftDown, e.button.x, e.button.y};
      else if (e.button.button == SDL_BUTTON_RIGHT && e.button.clicks >= 2) out = {EventKind::RightDoubleClick};
      else return false;
      return true;
    case SDL_MOUSEBUTTONUP:
      if (e.button.button != SDL_BUTTON_LEFT) return false;
      out = {EventKind::LeftUp, e.button.x, e.button.y};
      return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const bool systemKey = (e.key.keysym.mod & KMOD_ALT) != 0 || e.key.keysym.scancode == SDL_SCANCODE_F10 ||
                             e.key.keysym.scancode == SDL_SCANCODE_LALT || e.key.keysym.scancode == SDL_SCANCODE_RALT;
      if (systemKey) {
        if (e.type != SDL_KEYDOWN) return false;
        out = {EventKind::SystemKey};
        return true;
      }
      const int key = desktop::VirtualKeyOf(e.key.keysym.scancode);
      if (key == 0) return false;
      out = {e.type == SDL_KEYDOWN ? EventKind::KeyDown : EventKind::KeyUp, 0, 0, key};
      return true;
    }
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_MOVED: out = {EventKind::WindowMoved, e.window.data1, e.window.data2}; return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED: out = {EventKind::Activated}; return true;
        case SDL_WINDOWEVENT_FOCUS_LOST: out = {EventKind::Deactivated}; return true;
        case SDL_WINDOWEVENT_CLOSE: out = {EventKind::CloseRequest}; return true;
        default: return false;
      }
    case SDL_QUIT:
      out = {EventKind::CloseRequest};
      return true;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      desktop::NoteSurfacesLost();
      return false;
    default:
      return false;
  }
}

bool PollEvent(Event& event) {
  desktop::ServeRaiseRequests();
  if (!postedEvents.empty()) {
    event = postedEvents.front();
    postedEvents.pop_front();
    return true;
  }
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  SDL_Event e;
  while (SDL_PollEvent(&e))
    if (Translate(e, event)) return true;
  return false;
}

void WaitEvent() {
  if (postedEvents.empty() && SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_WaitEventTimeout(nullptr, 100);
}

void PostCloseRequest() { postedEvents.push_back({EventKind::CloseRequest}); }
void Yield() { SDL_Delay(1); }
bool KeyIsDown(int virtualKey) { return desktop::VirtualKeyDown(virtualKey); }

void CursorPosition(int& x, int& y) { SDL_GetGlobalMouseState(&x, &y); }
void DisableInputMethod() { SDL_StopTextInput(); }

}  // namespace platform
