#include "app/input.h"

#include "app/scenes.h"
#include "app/shell.h"
#include "app/system_cursor.h"
#include "draw/eldraw.h"
#include "midi/timing.h"
#include "player/playback_clock.h"

namespace app {

// The input state the scenes read and the application's activation.
static int pointerX = 0;
static int pointerY = 0;
static bool leftButtonHeld = false;
static bool leftPressed = false;
static int lastKey = 0;
static bool applicationActive = true;  // a new window starts in front

void ResetInput() {
  pointerX = pointerY = 0;
  leftButtonHeld = leftPressed = false;
  lastKey = 0;
  applicationActive = true;
}

int PointerX() { return pointerX; }
int PointerY() { return pointerY; }
bool LeftButtonHeld() { return leftButtonHeld; }
void ClearLeftButtonHeld() { leftButtonHeld = false; }
bool LeftPressed() { return leftPressed; }
void ClearLeftPress() { leftPressed = false; }
int LastKey() { return lastKey; }
bool ApplicationActive() { return applicationActive; }

void HandleKeyDown(int virtualKey) {
  lastKey = virtualKey;
  if (virtualKey == kKeyEscape) BeginSceneChange(kSceneExitQuestion);
}

void HandleEvent(const platform::Event& event) {
  using platform::EventKind;
  switch (event.kind) {
    case EventKind::MouseMove:
      pointerX = event.x;
      pointerY = event.y;
      break;
    case EventKind::LeftDown:
      leftButtonHeld = leftPressed = true;
      break;
    case EventKind::LeftUp:
      leftButtonHeld = false;
      break;
    case EventKind::LeftDoubleClick:  // the second press of a double click acts as none
    case EventKind::RightDoubleClick:
    case EventKind::SystemKey:        // Alt, F10 and Alt combinations have no effect
      break;
    case EventKind::KeyDown:
      HandleKeyDown(event.key);
      break;
    case EventKind::KeyUp:
      if (event.key == lastKey) lastKey = 0;
      break;
    case EventKind::WindowMoved:
      draw::SetClientOrigin(event.x, event.y);
      break;
    case EventKind::Activated:
      applicationActive = true;
      midi::ResetFrameStamp();
      player::ContinuePlayback();
      break;
    case EventKind::Deactivated:
      applicationActive = false;
      SetSystemCursorShown(true);
      // A window keeps playing in the background; full screen stops its
      // frames, and the song stops with them.
      if ((WindowBehaviour() & kRunWhileInactive) == 0) player::HoldPlayback();
      break;
    case EventKind::UserCloseRequest:
      // The close button asks first, as Escape does; on the way out it
      // simply closes.
      if (QuitState() == kRunning) BeginSceneChange(kSceneExitQuestion);
      else CloseMainWindow();
      break;
    case EventKind::CloseRequest:
      CloseMainWindow();
      break;
  }
}

}  // namespace app
