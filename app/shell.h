// The process itself: the single-instance guard, the choice of full screen
// or window, the window, and the main loop with its frame pass.
#pragma once

#include "draw/eldraw.h"

namespace app {

inline constexpr const char* kWindowTitle = "Tonquill";
inline constexpr int kScreenWidth = draw::kScreenWidth;
inline constexpr int kScreenHeight = draw::kScreenHeight;
// Window behaviour bits.
inline constexpr int kKeepZOrder = 1;
inline constexpr int kRunWhileInactive = 2;

// Key states of ReadKeyState.
inline constexpr int kKeyUp = 0;
inline constexpr int kKeyPressed = 1;
inline constexpr int kKeyReleased = 2;
inline constexpr int kKeyHeld = 3;

// Start-up: true when the main loop should run. `exitCode` is what the
// process returns when it should not: 0 for a second copy whose request
// the running copy has, and for a declined check; 1 when the running copy
// does not answer, or no window opens.
bool StartProgram(const char* commandLine, int& exitCode);
// One turn of the main loop: an event, a wait, or a frame pass. False once
// the loop has ended.
bool PumpOnce();
// The end of the loop: the cursor let go and the MIDI ports closed.
int FinishProgram();
// All three.
int RunProgram(const char* commandLine);

// One frame pass.
void RunFramePass();

// Updates a caller's key state from the key's position now: 1 pressed, 3
// held, 2 released, 0 up; every key reads 0 while a wipe runs.
void ReadKeyState(int virtualKey, int& state);

// The screen's full-screen flag (kept by draw), as the shell and the
// start-up colour-depth check read and change it.
bool FullScreenFlag();
void SetFullScreenFlag(bool fullScreen);
int WindowBehaviour();

void ResetShell();

}  // namespace app
