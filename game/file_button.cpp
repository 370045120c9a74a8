#include "game/file_button.h"

#include <string>

#include "base/module_state.h"
#include "draw/eldraw.h"
#include "draw/redraw.h"
#include "files/load_song.h"
#include "files/open_dialog.h"
#include "game/controls.h"
#include "game/engine_events.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/panels.h"
#include "platform/platform.h"
#include "player/playback_clock.h"
#include "scene/input.h"
#include "scene/scenes.h"

namespace game {

// The song a second copy sent, until the main screen can load it.
namespace {
struct State {
  std::string songOfSecondCopy;
  bool songOfSecondCopyWaiting = false;
};
base::ModuleState<State> state;
}  // namespace

// Loads the song path as FILE does; a new song shows no verdict and no
// score of a game played before it.
static void LoadSongOfPath() {
  const files::LoadResult result = files::LoadSongAndRanking(true);
  if (files::LoadScannedSong(result)) DrawTitlePanel();
  if (result != files::LoadResult::Installed) return;
  ShowHappenings(player::RewindSong());  // the counters at the new song's start
  DrawVerdictPanel(kVerdictX, kVerdictY, kVerdictNone);
  DrawScore(0);
}

void RunFileButton() {
  if (player::PlayState() != player::kStopped) return;
  // The dialog opens over an up-to-date screen.
  RestoreLyricBar();
  if (draw::RedrawRequested()) {
    scene::DrawTransitionAndPresent();
    draw::ClearRedrawRequest();
  }
  const bool chosen = files::ChooseSongFile();
  // The release that ends a click inside the dialog never reaches the game.
  scene::ClearLeftButtonHeld();
  if (chosen) LoadSongOfPath();
  const SourceRect r = ButtonRect(kButtonFile);
  draw::PressBox(r.left, r.top, r.right, r.bottom);
}

void OpenSongOfSecondCopy() {
  if (std::string path; platform::TakeRequestedSong(path)) {
    state.songOfSecondCopy = path;
    state.songOfSecondCopyWaiting = true;
  }
  if (!state.songOfSecondCopyWaiting) return;
  if (player::PlayState() != player::kStopped) {
    StopRun();
    return;
  }
  state.songOfSecondCopyWaiting = false;
  RestoreLyricBar();
  if (files::TakeSongPath(state.songOfSecondCopy)) LoadSongOfPath();
}

}  // namespace game
