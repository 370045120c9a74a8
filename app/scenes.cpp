#include "app/scenes.h"

#include <algorithm>

#include "app/command_line.h"
#include "app/input.h"
#include "draw/eldraw.h"
#include "draw/messages.h"
#include "game/main_scene.h"
#include "game/main_scene_playback.h"
#include "game/play_mode.h"
#include "game/score_screens.h"
#include "midi/midi_out.h"
#include "platform/platform.h"
#include "song/song_store.h"

namespace app {

// The scene machine's state, the objects the start-up scene loads, and the
// Japanese system flag.
static int sceneNumber = kSceneStartUp;
static int previousScene = 0;
static bool sceneEntered = false;
static int nextScene = 0;
static int transitionStep = 0;
static int transitionDirection = 0;
static int tileStripObject = 0;
static int artworkObject = 0;
static bool japaneseSystem = false;
static bool presented = false;

static constexpr int kTileWidth = 64;
static constexpr int kTileHeight = 48;
static constexpr int kTilesAcross = 10;
static constexpr int kTilesDown = 10;

void ResetScenes() {
  sceneNumber = kSceneStartUp;
  previousScene = 0;
  sceneEntered = false;
  nextScene = transitionStep = transitionDirection = 0;
  tileStripObject = artworkObject = 0;
  japaneseSystem = presented = false;
}

int SceneNumber() { return sceneNumber; }
int PreviousScene() { return previousScene; }
bool SceneEntered() { return sceneEntered; }
int TransitionStep() { return transitionStep; }
int TransitionDirection() { return transitionDirection; }
int NextScene() { return nextScene; }
bool JapaneseSystem() { return japaneseSystem; }
int ArtworkObject() { return artworkObject; }
int TileStripObject() { return tileStripObject; }
bool TakePresented() {
  const bool was = presented;
  presented = false;
  return was;
}

void BeginSceneChange(int scene) {
  nextScene = scene;
  transitionStep = 1;
  transitionDirection = +1;
}

void ChangeSceneDirectly(int scene) {
  sceneNumber = scene;
  previousScene = 0;
}

void BeginOpeningTransition() {
  transitionStep = kTransitionSteps;
  transitionDirection = -1;
}

void DrawTransitionAndPresent() {
  if (transitionStep != 0) {
    const int left = kTileWidth * (transitionStep - 1);
    for (int i = 0; i < kTilesAcross; ++i)
      for (int j = 0; j < kTilesDown; ++j)
        elDraw::PutKeyed(kTileWidth * i, kTileHeight * j, tileStripObject, left, 0, left + kTileWidth, kTileHeight);
  }
  transitionStep += transitionDirection;
  if ((transitionDirection == -1 && transitionStep < 1) || (transitionDirection == +1 && transitionStep > kTransitionSteps))
    transitionStep = transitionDirection = 0;
  elDraw::Present();
  presented = true;
}

void ClearBackScreen() {
  draw::Surface& screen = draw::BackScreen();
  std::fill(screen.pixels.begin(), screen.pixels.end(), draw::Pixel{0});
}

void RunStartUpScene() {
  elDraw::SetKeyColor(0);
  tileStripObject = elDraw::LoadObject("MASKBMP", 2);
  artworkObject = elDraw::LoadObject("BASC", 2);
  elDraw::LoadObject("CUR", 2);  // the pointer pictures: loaded with the artwork, drawn by no scene
  japaneseSystem = platform::SystemLanguageIsJapanese();
  midi::OpenMidiOutPorts();
  platform::OpenMidiInput();  // a MIDI keyboard plays the piano too
  song::PrepareSongBanks(CommandLineBuffer());
  game::ClearHaltedAtGuide();
  ChangeSceneDirectly(kSceneMain);
}

void RunExitQuestionScene() {
  if (sceneEntered) BeginOpeningTransition();
  if (draw::AskYesNo("%s", japaneseSystem ? kExitQuestionJapanese : kExitQuestionEnglish) == 1) {
    ClearBackScreen();
    DrawTransitionAndPresent();
    Shutdown();
  } else {
    game::SetMainCommand(game::kCommandRunning);
    ClearLeftButtonHeld();
    BeginSceneChange(kSceneMain);
  }
}

void RunSceneStep() {
  if (previousScene == 0 && sceneNumber != 0) {
    sceneEntered = true;
    previousScene = sceneNumber;
  }
  if (transitionDirection == +1) {
    DrawTransitionAndPresent();
    if (transitionDirection == 0) sceneNumber = nextScene;
  } else {
    switch (sceneNumber) {
      case kSceneMain: game::RunMainScene(); break;
      case kSceneStartUp: RunStartUpScene(); break;
      case kSceneNameEntry: game::RunNameEntryScene(); break;
      case kSceneRanking: game::RunRankingScene(); break;
      case kSceneExitQuestion: RunExitQuestionScene(); break;
      default: break;
    }
  }
  sceneEntered = sceneNumber != previousScene;
  previousScene = sceneNumber;
}

}  // namespace app
