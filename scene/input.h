// The window's input as the scenes poll it once per frame pass: the
// pointer, the left button, the last key, the application's activation,
// and the key states of ReadKeyState. The shell's event handling
// (app/input.h) fills it in.
#pragma once

namespace scene {

// Key states of ReadKeyState.
inline constexpr int kKeyUp = 0;
inline constexpr int kKeyPressed = 1;
inline constexpr int kKeyReleased = 2;
inline constexpr int kKeyHeld = 3;

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

// Updates a caller's key state from the key's position now: 1 pressed, 3
// held, 2 released, 0 up; every key reads 0 while a wipe runs.
void ReadKeyState(int virtualKey, int& state);

void ResetInput();

}  // namespace scene
