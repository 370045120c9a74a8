// The window's input turned into the state the scenes poll once per frame
// pass, the application's activation, the Escape key's way to the exit
// question, and the shutdown sequence.
#pragma once

#include "platform/platform.h"

namespace app {

inline constexpr int kKeyEscape = 0x1B;

// Quit states.
inline constexpr int kRunning = 0;
inline constexpr int kClosing = 1;
inline constexpr int kShutDown = 2;

// Records one event (called by the main loop between frame passes).
void HandleEvent(const platform::Event& event);
// Last key = the key; Escape leads to the exit question from any scene.
void HandleKeyDown(int virtualKey);
// The shutdown sequence; runs once whichever way out comes first.
int Shutdown();

int PointerX();
int PointerY();
bool LeftButtonHeld();
void ClearLeftButtonHeld();
// Set by a left press, cleared at the end of each frame pass.
bool LeftPressed();
void ClearLeftPress();
int LastKey();
int ClientLeft();
int ClientTop();
bool ApplicationActive();
int QuitState();
// True once the window has been destroyed: the main loop ends.
bool LoopEnded();
int ShutdownCount();
// The shell created the window: a shutdown from now on closes it.
void NoteWindowCreated();

void ResetInput();

}  // namespace app
