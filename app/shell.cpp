#include "app/shell.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/colour_depth_check.h"
#include "app/command_line.h"
#include "app/input.h"
#include "app/scenes.h"
#include "app/shutdown.h"
#include "draw/bmp.h"
#include "draw/eldraw.h"
#include "draw/messages.h"
#include "draw/system_cursor.h"
#include "midi/midi_out.h"
#include "midi/timing.h"
#include "platform/platform.h"
#include "scene/input.h"
#include "scene/scenes.h"

namespace app {

// How the program was asked to run and its window behaviour bits; the
// full-screen flag itself is the screen's (draw).
namespace {
struct State {
  bool fullScreenRequest = true;
  int windowBehaviour = 0;
};
State state;
}  // namespace

static constexpr const char* kInstanceName = "Tonquill:ElMutex";

void ResetShell() {
  state = {};
  draw::SetFullScreenFlag(true);
}

int WindowBehaviour() { return state.windowBehaviour; }

// The window's icon is the picture "MAIN".
static void SetWindowIcon() {
  draw::Bitmap icon;
  if (draw::ReadPicture("MAIN", icon)) platform::SetWindowIcon(icon.rgb.data(), icon.width, icon.height);
}

bool StartProgram(const char* commandLine, int& exitCode) {
  exitCode = 0;
  midi::InitTimingServices();
  if (!platform::AcquireSingleInstance(kInstanceName)) return false;  // the running copy comes to the front
  if (!SetCommandLine(commandLine))
    std::fprintf(stderr, "tonquill: the command line is too long (%zu bytes, at most %d): no song is loaded\n",
                 std::strlen(commandLine), kCommandLineSize - 1);

  if (commandLine[0] == '-' || platform::ShiftHeldAtLaunch()) state.fullScreenRequest = false;
  if (!state.fullScreenRequest) {
    state.windowBehaviour = kKeepZOrder | kRunWhileInactive;
    draw::SetFullScreenFlag(false);
    if (CheckWindowedColourDepth() == 0) return false;
  }
  if (!platform::CreateMainWindow(kWindowTitle, draw::FullScreenFlag(), kScreenWidth, kScreenHeight)) {
    // Silence would leave a user at a terminal guessing.
    std::fprintf(stderr, "tonquill: cannot open a window (is there a display?)\n");
    platform::ReleaseSingleInstance();
    exitCode = 1;
    return false;
  }
  NoteWindowCreated();
  SetWindowIcon();
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  platform::DisableInputMethod();
  if (elDraw::Screen(kScreenWidth, kScreenHeight, 1) == 0) {
    // The failure has been reported; without a screen there is no game.
    Shutdown();
    platform::DestroyMainWindow();
    exitCode = 1;
    return false;
  }
  scene::ChangeSceneDirectly(scene::kSceneStartUp);
  midi::ResetFrameStamp();
  return true;
}

// Over the client area of a window the system cursor is hidden; the flag
// keeps the show/hide calls balanced.
static void UpdateWindowedCursor() {
  if (draw::FullScreenFlag() || draw::MessageBoxOpen()) return;
  int x = 0, y = 0;
  platform::CursorPosition(x, y);
  const int left = draw::ClientLeft(), top = draw::ClientTop();
  const bool inside = x >= left && x < left + kScreenWidth && y >= top && y < top + kScreenHeight;
  draw::SetSystemCursorShown(!inside);
}

void RunFramePass() {
  midi::AdvanceFrameStamp();
  RunSceneStep();
  midi::AdvanceBlink();
  scene::ClearLeftPress();
  scene::ClearKeyPress();
  UpdateWindowedCursor();
  // An idle frame gives the processor away instead of spinning.
  if (!scene::TakePresented()) platform::Yield();
}

bool PumpOnce() {
  platform::Event event;
  if (platform::PollEvent(event)) {
    HandleEvent(event);
    return !LoopEnded();
  }
  if (LoopEnded()) return false;
  if (!scene::ApplicationActive() && (state.windowBehaviour & kRunWhileInactive) == 0) {
    platform::WaitEvent();
    return true;
  }
  RunFramePass();
  return true;
}

int FinishProgram() {
  platform::ReleaseCursor();
  platform::CloseMidiInput();
  midi::CloseMidiOutPorts();
  return 0;
}

int RunProgram(const char* commandLine) {
  int exitCode = 0;
  if (!StartProgram(commandLine, exitCode)) return exitCode;
  while (PumpOnce()) {
  }
  return FinishProgram();
}

}  // namespace app
