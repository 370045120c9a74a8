#include "game/file_button.h"

#include <string>

#include "app/input.h"
#include "app/scenes.h"
#include "draw/eldraw.h"
#include "draw/redraw.h"
#include "files/load_song.h"
#include "files/open_dialog.h"
#include "game/controls.h"
#include "game/lyric_bar.h"
#include "platform/platform.h"
#include "player/playback_clock.h"

namespace game {

// The song a second copy sent, until the main screen can load it.
static std::string songOfSecondCopy;
static bool songOfSecondCopyWaiting = false;

void ResetFileButton() {
  songOfSecondCopy.clear();
  songOfSecondCopyWaiting = false;
}

void RunFileButton() {
  if (player::PlayState() != player::kStopped) return;
  // The dialog opens over an up-to-date screen.
  RestoreLyricBar();
  if (draw::RedrawRequested()) {
    app::DrawTransitionAndPresent();
    draw::ClearRedrawRequest();
  }
  const bool chosen = files::ChooseSongFile() == 1;
  // The release that ends a click inside the dialog never reaches the game.
  app::ClearLeftButtonHeld();
  if (chosen) files::LoadSongAndRanking(true);
  const SourceRect r = ButtonRect(kButtonFile);
  draw::PressBox(r.left, r.top, r.right, r.bottom);
}

void OpenSongOfSecondCopy() {
  if (std::string path; platform::TakeRequestedSong(path)) {
    songOfSecondCopy = path;
    songOfSecondCopyWaiting = true;
  }
  if (!songOfSecondCopyWaiting) return;
  if (player::PlayState() != player::kStopped) {
    StopRun();
    return;
  }
  songOfSecondCopyWaiting = false;
  RestoreLyricBar();
  if (files::TakeSongPath(songOfSecondCopy)) files::LoadSongAndRanking(true);
}

}  // namespace game
