// The window's input as the scenes poll it once per frame pass: the
// pointer, the left button, the keys pressed, the application's
// activation. The shell's event handling (app/input.h) fills it in; the
// piano takes its keys as events of its own (game/piano_input.h).
#pragma once

namespace scene {

int PointerX();
int PointerY();
bool LeftButtonHeld();
void ClearLeftButtonHeld();
// Set by a left press, cleared at the end of each frame pass.
bool LeftPressed();
void ClearLeftPress();
// Set by a right press, cleared at the end of each frame pass.
bool RightPressed();
void ClearRightPress();
int LastKey();
// The key pressed since the last frame pass, 0 for none: a held key (and
// its repeats) counts once, and a tap that went down and up between two
// frame passes still counts. The letter it typed, 0 for none. Cleared at
// the end of each frame pass.
int KeyPressed();
int KeyPressedLetter();
// Whether the key (a virtual key) was pressed since the last frame pass,
// counted as KeyPressed counts; cleared with it.
bool KeyWentDown(int virtualKey);
void ClearKeyPress();
bool ApplicationActive();

// What the event handling records.
void MovePointer(int x, int y);
void PressLeftButton();
void ReleaseLeftButton();
void PressRightButton();
void SetLastKey(int virtualKey);
// A key went down: a press unless it repeats the key already down.
void PressKey(int virtualKey, int letter);
void SetApplicationActive(bool active);

void ResetInput();

}  // namespace scene
