// Input events on the desktop: SDL's events translated to the kinds the
// program handles, with the events the backend queues itself (the program's
// close request, the window's first position).
#include <SDL.h>

#include <algorithm>
#include <deque>

#include "platform/desktop/desktop.h"
#include "platform/desktop/input_wait.h"
#include "platform/desktop/keyboard_map.h"
#include "platform/platform.h"

namespace platform {

// Events the program or the backend queued, taken before SDL's, and how
// many times the main loop has asked for events.
static std::deque<Event> queuedEvents;
static unsigned long eventPolls = 0;

static const char* KindName(EventKind kind) {
  switch (kind) {
    case EventKind::MouseMove: return "MouseMove";
    case EventKind::LeftDown: return "LeftDown";
    case EventKind::LeftUp: return "LeftUp";
    case EventKind::LeftDoubleClick: return "LeftDoubleClick";
    case EventKind::RightDown: return "RightDown";
    case EventKind::RightDoubleClick: return "RightDoubleClick";
    case EventKind::KeyDown: return "KeyDown";
    case EventKind::KeyUp: return "KeyUp";
    case EventKind::SystemKey: return "SystemKey";
    case EventKind::WindowMoved: return "WindowMoved";
    case EventKind::Activated: return "Activated";
    case EventKind::Deactivated: return "Deactivated";
    case EventKind::UserCloseRequest: return "UserCloseRequest";
    case EventKind::CloseRequest: return "CloseRequest";
  }
  return "?";
}

// A press is a double click only as the second of a pair: the third press
// of a quick run starts a new pair, as the game has always counted them.
static bool SecondOfAPair(const SDL_MouseButtonEvent& button) { return button.clicks % 2 == 0; }

// The window's own events: the picture is shown again whenever the window
// was uncovered, resized or got the focus back.
static bool TranslateWindowEvent(const SDL_WindowEvent& e, Event& out) {
  switch (e.event) {
    case SDL_WINDOWEVENT_MOVED:
      out = {EventKind::WindowMoved, e.data1, e.data2};
      return true;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      desktop::ApplyConfinement();
      desktop::PresentAgain();
      return false;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
      desktop::PresentAgain();
      return false;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      // The pointer is held only while the window has the focus; SDL does
      // not always bring back a confinement asked for before it came.
      desktop::ApplyConfinement();
      desktop::PresentAgain();
      out = {EventKind::Activated};
      return true;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      out = {EventKind::Deactivated};
      return true;
    case SDL_WINDOWEVENT_CLOSE:
      // The question that follows must be seen, even from the background.
      if (SDL_Window* window = desktop::MainWindow()) SDL_RaiseWindow(window);
      out = {EventKind::UserCloseRequest};
      return true;
    default:
      return false;
  }
}

// Translates one SDL event; false for events the program does not handle.
static bool Translate(const SDL_Event& e, Event& out) {
  switch (e.type) {
    case SDL_MOUSEMOTION:
      out = {EventKind::MouseMove, e.motion.x, e.motion.y};
      desktop::WindowToPicture(out.x, out.y, out.x, out.y);
      return true;
    case SDL_MOUSEBUTTONDOWN:
      // A click on the window activates it, even where no window manager
      // does: the focus that follows lets a full-screen game run its frames.
      if (SDL_GetKeyboardFocus() != desktop::MainWindow()) desktop::TakeFocusBack();
      if (e.button.button == SDL_BUTTON_LEFT)
        out = {SecondOfAPair(e.button) ? EventKind::LeftDoubleClick : EventKind::LeftDown, e.button.x, e.button.y};
      else if (e.button.button == SDL_BUTTON_RIGHT)
        out = {SecondOfAPair(e.button) ? EventKind::RightDoubleClick : EventKind::RightDown, e.button.x, e.button.y};
      else
        return false;
      desktop::WindowToPicture(out.x, out.y, out.x, out.y);
      return true;
    case SDL_MOUSEBUTTONUP:
      if (e.button.button != SDL_BUTTON_LEFT) return false;
      out = {EventKind::LeftUp, e.button.x, e.button.y};
      desktop::WindowToPicture(out.x, out.y, out.x, out.y);
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
      if (e.type == SDL_KEYDOWN)
        out = {EventKind::KeyDown, 0, 0, key, desktop::LetterTyped(e.key.keysym.sym, e.key.keysym.scancode)};
      else
        out = {EventKind::KeyUp, 0, 0, key};
      return true;
    }
    case SDL_WINDOWEVENT:
      return TranslateWindowEvent(e.window, out);
    case SDL_QUIT:  // a terminate or interrupt signal: the session ends
      out = {EventKind::CloseRequest};
      return true;
    default:
      return false;
  }
}

static bool NextEvent(Event& event) {
  desktop::ServeSecondCopies(false);
  if (!queuedEvents.empty()) {
    event = queuedEvents.front();
    queuedEvents.pop_front();
    return true;
  }
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  SDL_Event e;
  while (SDL_PollEvent(&e))
    if (Translate(e, event)) return true;
  return false;
}

bool PollEvent(Event& event) {
  ++eventPolls;
  if (!NextEvent(event)) return false;
  event.ms = TimeMs();
  desktop::LogInput("%s %d %d %d %d", KindName(event.kind), event.x, event.y, event.key, event.letter);
  return true;
}

void WaitEvent() {
  if (queuedEvents.empty() && SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_WaitEventTimeout(nullptr, 100);
}

void PostCloseRequest() { queuedEvents.push_back({EventKind::CloseRequest}); }
bool KeyIsDown(int virtualKey) { return desktop::VirtualKeyDown(virtualKey); }
void DisableInputMethod() { SDL_StopTextInput(); }

namespace desktop {

void QueueEvent(const Event& event) { queuedEvents.push_back(event); }

unsigned long EventPolls() { return eventPolls; }

bool WindowInputWaiting(std::vector<pollfd>& descriptors, WaitClock::time_point& deadline) {
  if (!queuedEvents.empty()) return true;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return true;
  int connection = -1;
  if (X11EventsWaiting(connection)) return true;
  if (connection >= 0) {
    descriptors.push_back({connection, POLLIN, 0});
  } else if (MainWindow() != nullptr) {
    // Another video driver: its events are looked for every millisecond.
    deadline = std::min(deadline, WaitClock::now() + std::chrono::milliseconds(1));
  }
  return false;
}

// Keeps every event but the presses and close requests meant for a box.
static int KeepUnlessMeantForTheBox(void*, SDL_Event* e) {
  switch (e->type) {
    case SDL_KEYDOWN:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEWHEEL:
      return 0;
    case SDL_WINDOWEVENT:
      return e->window.event == SDL_WINDOWEVENT_CLOSE ? 0 : 1;
    default:
      return 1;
  }
}

void DropInputFromWhileBoxWasUp() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  SyncWithDisplay();  // every event of the box's time is in SDL's queue now
  SDL_PumpEvents();
  SDL_FilterEvents(KeepUnlessMeantForTheBox, nullptr);
}

}  // namespace desktop
}  // namespace platform
