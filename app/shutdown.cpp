#include "app/shutdown.h"

#include "draw/eldraw.h"
#include "platform/platform.h"

namespace app {

// Where the program stands on its way out.
static int quitState = kRunning;
static bool shuttingDown = false;
static bool windowExists = false;
static bool loopEnded = false;
static int shutdownCount = 0;

void ResetShutdown() {
  quitState = kRunning;
  shuttingDown = windowExists = loopEnded = false;
  shutdownCount = 0;
}

void NoteWindowCreated() { windowExists = true; }
int QuitState() { return quitState; }
bool LoopEnded() { return loopEnded; }
int ShutdownCount() { return shutdownCount; }

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

void CloseMainWindow() {
  if (quitState == kRunning) quitState = kClosing;
  if (quitState < kShutDown) Shutdown();
  platform::DestroyMainWindow();
  windowExists = false;
  loopEnded = true;  // the destroyed window ends the loop
}

}  // namespace app
