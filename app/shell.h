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

int WindowBehaviour();

}  // namespace app
