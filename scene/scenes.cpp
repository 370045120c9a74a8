#include "scene/scenes.h"

#include <algorithm>

#include "base/module_state.h"
#include "draw/eldraw.h"

namespace scene {

// The scene machine's state and the objects the start-up scene loads.
namespace {
struct State {
  int sceneNumber = kSceneStartUp;
  int previousScene = 0;
  bool sceneEntered = false;
  int nextScene = 0;
  int transitionStep = 0;
  int transitionDirection = 0;
  int tileStripObject = 0;
  int artworkObject = 0;
  bool presented = false;
};
base::ModuleState<State> state;
}  // namespace

static constexpr int kTileWidth = 64;
static constexpr int kTileHeight = 48;
static constexpr int kTilesAcross = 10;
static constexpr int kTilesDown = 10;

int SceneNumber() { return state.sceneNumber; }
bool SceneEntered() { return state.sceneEntered; }
int TransitionStep() { return state.transitionStep; }
int TransitionDirection() { return state.transitionDirection; }
int NextScene() { return state.nextScene; }
int ArtworkObject() { return state.artworkObject; }
bool TakePresented() {
  const bool was = state.presented;
  state.presented = false;
  return was;
}

void BeginSceneChange(int scene) {
  state.nextScene = scene;
  state.transitionStep = 1;
  state.transitionDirection = +1;
}

void ChangeSceneDirectly(int scene) {
  state.sceneNumber = scene;
  state.previousScene = 0;
}

void BeginOpeningTransition() {
  state.transitionStep = kTransitionSteps;
  state.transitionDirection = -1;
}

void DrawTransitionAndPresent() {
  if (state.transitionStep != 0) {
    const int left = kTileWidth * (state.transitionStep - 1);
    for (int i = 0; i < kTilesAcross; ++i)
      for (int j = 0; j < kTilesDown; ++j)
        elDraw::PutKeyed(kTileWidth * i, kTileHeight * j, state.tileStripObject, left, 0, left + kTileWidth, kTileHeight);
  }
  state.transitionStep += state.transitionDirection;
  if ((state.transitionDirection == -1 && state.transitionStep < 1) ||
      (state.transitionDirection == +1 && state.transitionStep > kTransitionSteps))
    state.transitionStep = state.transitionDirection = 0;
  elDraw::Present();
  state.presented = true;
}

void ClearBackScreen() {
  draw::Surface& screen = draw::BackScreen();
  std::fill(screen.pixels.begin(), screen.pixels.end(), draw::Pixel{0});
}

void BeginSceneStep() {
  if (state.previousScene == 0 && state.sceneNumber != 0) {
    state.sceneEntered = true;
    state.previousScene = state.sceneNumber;
  }
}

bool StepClosingWipe() {
  if (state.transitionDirection != +1) return false;
  DrawTransitionAndPresent();
  if (state.transitionDirection == 0) state.sceneNumber = state.nextScene;
  return true;
}

void EndSceneStep() {
  state.sceneEntered = state.sceneNumber != state.previousScene;
  state.previousScene = state.sceneNumber;
}

void LoadSceneArtwork() {
  elDraw::SetKeyColor(0);
  state.tileStripObject = elDraw::LoadObject("MASKBMP");
  state.artworkObject = elDraw::LoadObject("BASC");
  elDraw::LoadObject("CUR");  // the pointer pictures: loaded with the artwork, drawn by no scene
}

}  // namespace scene
