#include "game/main_scene.h"

#include <string>
#include <utility>

#include "base/module_state.h"
#include "draw/redraw.h"
#include "files/ranking.h"
#include "game/button_faces.h"
#include "game/calibration.h"
#include "game/controls.h"
#include "game/engine_events.h"
#include "game/file_button.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/main_command.h"
#include "game/midi_keyboard.h"
#include "game/notes_ahead_view.h"
#include "game/panels.h"
#include "game/part_button.h"
#include "game/part_over.h"
#include "game/piano.h"
#include "game/piano_keys.h"
#include "game/statistics_scene.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "player/run_step.h"
#include "scene/input.h"
#include "scene/scenes.h"

namespace game {

// This frame's copies of the pointer and the left button; the button faces
// as last drawn.
namespace {
struct State {
  int pointerX = 0;
  int pointerY = 0;
  bool leftButton = false;
  ButtonFace shownFace[kButtonCount];
  bool guideEndNoticed = false;  // the guide's end was seen (a game played to its end)
};
base::ModuleState<State> state;
}  // namespace

static constexpr int kFifthRecord = files::kRankingRecords - 1;

int MainScenePointerX() { return state.pointerX; }
int MainScenePointerY() { return state.pointerY; }
bool MainSceneLeftButton() { return state.leftButton; }

// The whole screen from the artwork, and the song back at its start.
static void DrawWholeScreen() {
  scene::ClearBackScreen();
  PutArtwork(0, 0, kScreenBackground);
  RestoreLyricBar();  // the bar holds no text yet
  DrawTitlePanel();
  DrawAllKeysUp();
  for (ButtonFace& face : state.shownFace) face = {};  // every face drawn at the end of the pass
  ShowHappenings(player::RewindSong());
  DiscardMidiInput();  // notes played while the score screens were up
  draw::RequestRedraw();
}

// A game whose guide track was played to its end leads to its statistics,
// then to the score screens: name entry when the score beats the
// fifth-best kept one.
static void ChangeSceneFor(Command command) {
  if (command == kCommandExit) {
    scene::BeginSceneChange(scene::kSceneExitQuestion);
  } else if (command == kCommandStopped && player::RunMode() == player::PlayMode::Game &&
             state.guideEndNoticed && player::PlaybackSpeedPercent() != player::kFullSpeedPercent) {
    // A game played slower than the song is not comparable with the
    // others: its statistics (which say so), then back to the main screen.
    BeginGameStatistics(scene::kSceneMain);
  } else if (command == kCommandStopped && player::RunMode() == player::PlayMode::Game && state.guideEndNoticed) {
    BeginGameStatistics(Score() > files::RankingScore(kFifthRecord) ? scene::kSceneNameEntry : scene::kSceneRanking);
  } else if (command == kCommandRanking) {
    scene::BeginSceneChange(scene::kSceneRanking);
  }
}

void RunMainScene() {
  if (scene::SceneEntered()) DrawWholeScreen();
  state.pointerX = scene::PointerX();
  state.pointerY = scene::PointerY();
  // A press and its release can both arrive between two frames (a touchpad
  // tap, a quick click): the press still counts as the button down for
  // this frame.
  state.leftButton = scene::LeftButtonHeld() || scene::LeftPressed();
  OpenSongOfSecondCopy();
  ShowHappenings(player::AdvancePlayback());
  if (!player::GuideOver()) {
    state.guideEndNoticed = false;
  } else if (!state.guideEndNoticed) {
    // The guide track has ended: its last lit key goes dark, once.
    DrawGuideKey(player::LastShownGuideNote(), kKeyLookUp);
    state.guideEndNoticed = true;
    draw::RequestRedraw();
  }
  RunPartOverNotice();
  ChangeSceneFor(RunMainControls());
  if (!CalibrationHoldsBar()) RunPartLabel();  // in the frame that stopped, chose or loaded
  ShowNotesAhead();
  // A face follows its setting however it changed (a click, a song loaded).
  for (int n = 0; n < kButtonCount; ++n) {
    ButtonFace face = ButtonFaceOf(n);
    if (face == state.shownFace[n]) continue;
    DrawButtonFace(n);
    state.shownFace[n] = std::move(face);
  }
  if (draw::RedrawRequested()) {
    scene::DrawTransitionAndPresent();
    draw::ClearRedrawRequest();
  }
}

}  // namespace game
