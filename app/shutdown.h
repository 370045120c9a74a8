// The ways out of the program: the shutdown sequence, the closing of the
// window, and the end of the main loop they lead to.
#pragma once

namespace app {

// Quit states.
inline constexpr int kRunning = 0;
inline constexpr int kClosing = 1;
inline constexpr int kShutDown = 2;

// The shutdown sequence: the cursor let go, every picture, the screen and
// the sound device released, the single-instance lock given up, and a close
// request posted when the sequence did not come from one. Runs once,
// whichever way out comes first; returns 1.
int Shutdown();

// Closes the window now (the program's own close request, or the session
// ending): the shutdown sequence unless it has run, the window destroyed,
// and the main loop ends.
void CloseMainWindow();

int QuitState();
// True once the window has been destroyed: the main loop ends.
bool LoopEnded();
int ShutdownCount();
// The shell created the window: a shutdown from now on closes it.
void NoteWindowCreated();

}  // namespace app
