#include "app/shutdown.h"

#include "base/module_state.h"
#include "draw/eldraw.h"
#include "platform/platform.h"

namespace app {

// Where the program stands on its way out.
namespace {
struct State {
  int quitState = kRunning;
  bool shuttingDown = false;
  bool windowExists = false;
  bool loopEnded = false;
  int shutdownCount = 0;
};
base::ModuleState<State> state;
}  // namespace

void NoteWindowCreated() { state.windowExists = true; }
int QuitState() { return state.quitState; }
bool LoopEnded() { return state.loopEnded; }
int ShutdownCount() { return state.shutdownCount; }

int Shutdown() {
  if (state.shuttingDown) return 1;
  state.shuttingDown = true;
  ++state.shutdownCount;
  platform::ReleaseCursor();
  elDraw::Release();  // the screens, every object and the sound device
  platform::ReleaseSingleInstance();
  if (state.quitState == kRunning && state.windowExists) platform::PostCloseRequest();
  state.quitState = kShutDown;
  return 1;
}

void CloseMainWindow() {
  if (state.quitState == kRunning) state.quitState = kClosing;
  if (state.quitState < kShutDown) Shutdown();
  platform::DestroyMainWindow();
  state.windowExists = false;
  state.loopEnded = true;  // the destroyed window ends the loop
}

}  // namespace app
