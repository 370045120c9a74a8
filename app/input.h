// The window's input turned into the state the scenes poll once per frame
// pass, the application's activation, and the ways to the exit question:
// the Escape key and the window's close button.
#pragma once

// The scenes and the start-up check reach Shutdown and the quit states
// through this header.
#include "app/shutdown.h"
#include "platform/platform.h"

namespace app {

inline constexpr int kKeyEscape = 0x1B;

// Records one event (called by the main loop between frame passes).
void HandleEvent(const platform::Event& event);
// Last key = the key; Escape leads to the exit question from any scene.
// `letter` is the letter the key types (0: none).
void HandleKeyDown(int virtualKey, int letter);

int PointerX();
int PointerY();
bool LeftButtonHeld();
void ClearLeftButtonHeld();
// Set by a left press, cleared at the end of each frame pass.
bool LeftPressed();
void ClearLeftPress();
int LastKey();
// The key pressed since the last frame pass, 0 for none: a held key (and
// its repeats) counts once, and a tap that went down and up between two
// frame passes still counts. The letter it typed, 0 for none. Cleared at
// the end of each frame pass.
int KeyPressed();
int KeyPressedLetter();
void ClearKeyPress();
bool ApplicationActive();

void ResetInput();

}  // namespace app
