#include "game/main_scene.h"

#include "app/input.h"
#include "app/scenes.h"
#include "draw/redraw.h"
#include "files/ranking.h"
#include "game/controls.h"
#include "game/file_button.h"
#include "game/judging.h"
#include "game/main_scene_playback.h"
#include "game/midi_keyboard.h"
#include "game/panels.h"
#include "game/piano_keys.h"
#include "game/play_mode.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"

namespace game {

// This frame's copies of the pointer and the left button.
static int pointerX = 0;
static int pointerY = 0;
static bool leftButton = false;

static constexpr int kFifthRecord = files::kRankingRecords - 1;

int MainScenePointerX() { return pointerX; }
int MainScenePointerY() { return pointerY; }
bool MainSceneLeftButton() { return leftButton; }

void ResetMainScene() {
  pointerX = pointerY = 0;
  leftButton = false;
}

// The whole screen from the artwork, and the song back at its start.
static void DrawWholeScreen() {
  app::ClearBackScreen();
  PutArtwork(0, 0, kScreenBackground);
  DrawTitlePanel();
  DrawAllKeysUp();
  player::RewindSong();
  DiscardMidiInput();  // notes played while the score screens were up
  draw::RequestRedraw();
}

// A game whose guide track was played to its end leads to the score
// screens: name entry when the score beats the fifth-best kept one.
static void ChangeSceneFor(int command) {
  if (command == kCommandExit) {
    app::BeginSceneChange(app::kSceneExitQuestion);
  } else if (command == kCommandStopped && PlayMode() == kPlayModeGame &&
             player::GuideNote() == player::kGuideEndNoticed) {
    app::BeginSceneChange(Score() > files::RankingScore(kFifthRecord) ? app::kSceneNameEntry : app::kSceneRanking);
  } else if (command == kCommandRanking) {
    app::BeginSceneChange(app::kSceneRanking);
  }
}

void RunMainScene() {
  if (app::SceneEntered()) DrawWholeScreen();
  pointerX = app::PointerX();
  pointerY = app::PointerY();
  // A press and its release can both arrive between two frames (a touchpad
  // tap, a quick click): the press still counts as the button down for
  // this frame.
  leftButton = app::LeftButtonHeld() || app::LeftPressed();
  OpenSongOfSecondCopy();
  RunPlaybackStep();
  if (player::GuideNote() == player::kGuideEnded) {
    // The guide track has ended: its last lit key goes dark, once.
    DrawPianoKey(player::LastShownGuideNote() - kPianoLowestNote, kKeyLookUp);
    player::SetGuideNote(player::kGuideEndNoticed);
    draw::RequestRedraw();
  }
  ChangeSceneFor(RunMainControls());
  if (draw::RedrawRequested()) {
    app::DrawTransitionAndPresent();
    draw::ClearRedrawRequest();
  }
}

}  // namespace game
