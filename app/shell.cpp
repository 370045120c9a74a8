#include "app/shell.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include "app/colour_depth_check.h"
#include "app/command_line.h"
#include "app/input.h"
#include "app/scenes.h"
#include "app/shutdown.h"
#include "base/module_state.h"
#include "draw/bmp.h"
#include "draw/eldraw.h"
#include "draw/messages.h"
#include "draw/system_cursor.h"
#include "files/settings.h"
#include "game/beat_switches.h"
#include "game/view_key.h"
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
  // Input came (an event, or a wake-up for input) since the last frame
  // pass, and since the piano last played what came.
  bool inputSincePass = false;
  bool inputToPlay = false;
};
base::ModuleState<State> state;
}  // namespace

// How long a pass that presented nothing waits for input: at rest until
// input comes (or this long, for what cannot wake the loop: a signal taken
// by another thread, the desktop's own house-keeping), otherwise at most
// a millisecond, as the song's events and the game's clocks need.
static constexpr std::uint32_t kRestingWaitMs = 100;
static constexpr std::uint32_t kBusyWaitMs = 1;

static constexpr const char* kInstanceName = "Tonquill:ElMutex";

int WindowBehaviour() { return state.windowBehaviour; }

// The window's icon is the picture "MAIN".
static void SetWindowIcon() {
  draw::Bitmap icon;
  if (draw::ReadPicture("MAIN", icon)) platform::SetWindowIcon(icon.rgb.data(), icon.width, icon.height);
}

// The song as the running copy must see it: from its own working folder a
// relative path would name another file.
static std::string PathForRunningCopy(const std::string& song) {
  if (song.empty()) return song;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(song, error);
  return error ? song : absolute.string();
}

// A second copy hands its song to the running one and ends; true when this
// copy is the only one and goes on.
// The player's kept choices; a damaged file is said and the defaults (or
// the lines that read) hold: the game always starts.
static void LoadPlayersSettings() {
  const files::SettingsRead read = files::LoadSettings();
  if (read.errorNumber != 0)
    std::fprintf(stderr, "tonquill: %s cannot be read (%s): the default choices hold\n",
                 files::SettingsPath().c_str(), std::strerror(read.errorNumber));
  for (int line : read.skippedLines)
    std::fprintf(stderr, "tonquill: %s, line %d does not read: that choice keeps its default\n",
                 files::SettingsPath().c_str(), line);
  game::TakeKeptBeatChoices();
}

static bool BecomeTheOnlyCopy(const std::string& song, int& exitCode) {
  switch (platform::AcquireSingleInstance(kInstanceName, PathForRunningCopy(song))) {
    case platform::InstanceStart::OnlyCopy: return true;
    case platform::InstanceStart::RunningCopyAsked: return false;  // it comes to the front (with the song)
    case platform::InstanceStart::NoAnswer: break;
  }
  if (song.empty())
    std::fprintf(stderr, "tonquill: the game is already running but does not answer\n");
  else
    std::fprintf(stderr, "tonquill: the game is already running but does not answer: %s is not opened\n", song.c_str());
  exitCode = 1;
  return false;
}

bool StartProgram(const char* commandLine, int& exitCode) {
  exitCode = 0;
  midi::InitTimingServices();
  const CommandLineRequest request = ReadCommandLine(commandLine);
  if (!BecomeTheOnlyCopy(request.song, exitCode)) return false;
  LoadPlayersSettings();
  game::NoteFirstStart();
  if (!SetCommandLine(request.song.c_str()))
    std::fprintf(stderr, "tonquill: the song's path is too long (%zu bytes, at most %d): no song is loaded\n",
                 request.song.size(), kCommandLineSize - 1);

  if (request.window || platform::ShiftHeldAtLaunch()) state.fullScreenRequest = false;
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
  if (elDraw::Screen(kScreenWidth, kScreenHeight) == 0) {
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
  scene::ClearRightPress();
  scene::ClearKeyPress();
  UpdateWindowedCursor();
  // An idle frame gives the processor away instead of spinning; the pass
  // after input comes soon in any case, for what the input started.
  const bool inputSeen = state.inputSincePass;
  state.inputSincePass = false;
  if (!scene::TakePresented() &&
      platform::WaitForInput(!inputSeen && SceneAtRest() ? kRestingWaitMs : kBusyWaitMs))
    state.inputSincePass = state.inputToPlay = true;
}

bool PumpOnce() {
  platform::Event event;
  if (platform::PollEvent(event)) {
    HandleEvent(event);
    state.inputSincePass = state.inputToPlay = true;
    return !LoopEnded();
  }
  if (LoopEnded()) return false;
  if (!scene::ApplicationActive() && (state.windowBehaviour & kRunWhileInactive) == 0) {
    platform::WaitEvent();
    return true;
  }
  // What came since the last pass is played now, not a frame later.
  if (state.inputToPlay) {
    state.inputToPlay = false;
    PlayPianoBetweenFrames();
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
