#include "app/input.h"

#include "app/scenes.h"
#include "app/system_cursor.h"
#include "draw/eldraw.h"
#include "midi/timing.h"

namespace app {

// The input state the scenes read, the window's place and activation, and
// where the program stands on its way out.
static int pointerX = 0;
static int pointerY = 0;
static bool leftButtonHeld = false;
static bool leftPressed = false;
static int lastKey = 0;
static int clientLeft = 0;
static int clientTop = 0;
static bool applicationActive = true;  // a new window starts in front
static int quitState = kRunning;
static bool shuttingDown = false;
static bool windowExists = false;
static bool loopEnded = false;
static int shutdownCount = 0;

void ResetInput() {
  pointerX = pointerY = 0;
  leftButtonHeld = leftPressed = false;
  lastKey = 0;
  clientLeft = clientTop = 0;
  applicationActive = true;
  quitState = kRunning;
  shuttingDown = loopEnded = false;
  windowExists = false;
  shutdownCount = 0;
}

void NoteWindowCreated() { windowExists = true; }

int PointerX() { return pointerX; }
int PointerY() { return pointerY; }
bool LeftButtonHeld() { return leftButtonHeld; }
void ClearLeftButtonHeld() { leftButtonHeld = false; }
bool LeftPressed() { return leftPressed; }
void ClearLeftPress() { leftPressed = false; }
int LastKey() { return lastKey; }
int ClientLeft() { return clientLeft; }
int ClientTop() { return clientTop; }
bool ApplicationActive() { return applicationActive; }
int QuitState() { return quitState; }
bool LoopEnded() { return loopEnded; }
int ShutdownCount() { return shutdownCount; }

void HandleKeyDown(int virtualKey) {
  lastKey = virtualKey;
  if (virtualKey == kKeyEscape) BeginSceneChange(kSceneExitQuestion);
}

int Shutdown() {
  if (shuttingDown) return 1;
  shuttingDown = true;
  ++shutdownCount;
  platform::ReleaseCursor();
  elDraw::Release();  // the screens, every object and the sound device
  platform::ReleaseSingleInstance();
  if (quitState == kRunning && windowExists) platform::PostCloseRequest();
  quitState = kShutDown;
  return 1;
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
    case EventKind::SystemKey:        // Alt, F10 and Alt+F4 have no effect
      break;
    case EventKind::KeyDown:
      HandleKeyDown(event.key);
      break;
    case EventKind::KeyUp:
      if (event.key == lastKey) lastKey = 0;
      break;
    case EventKind::WindowMoved:
      clientLeft = event.x;
      clientTop = event.y;
      draw::SetClientOrigin(clientLeft, clientTop);
      break;
    case EventKind::Activated:
      applicationActive = true;
      midi::ResetFrameStamp();
      break;
    case EventKind::Deactivated:
      applicationActive = false;
      SetSystemCursorShown(true);
      break;
    case EventKind::CloseRequest:
      if (quitState == kRunning) quitState = kClosing;
      if (quitState < kShutDown) Shutdown();
      platform::DestroyMainWindow();
      windowExists = false;
      loopEnded = true;  // the destroyed window ends the loop
      break;
  }
}

}  // namespace app
