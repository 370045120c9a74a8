#include <cmath>

#include "base/module_state.h"
#include "draw/messages.h"
#include "files/ranking.h"
#include "game/artwork_text.h"
#include "game/main_command.h"
#include "game/score_screens.h"
#include "midi/timing.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "scene/input.h"
#include "scene/scenes.h"

namespace game {

// Where the prompt's fade stands, in table entries (15 a second).
namespace {
struct State {
  float pulsePhase = 0.0f;
};
base::ModuleState<State> state;
}  // namespace

static constexpr int kPulseSteps = 15;
static constexpr float kPulseTable[kPulseSteps] = {10, 10, 10, 9, 8, 6, 5, 4, 3, 2, 3, 4, 5, 8, 9};

// The default table back, on disk too.
static void ClearRanking() {
  const char* question = report::InPlayersLanguage(kClearQuestion);
  if (draw::AskYesNo("%s", question)) {
    files::RestoreDefaultRankingText();
    files::ParseRankingScores();
    scene::ClearLeftButtonHeld();
    files::WriteRankingFile();
  }
  scene::BeginSceneChange(scene::kSceneRanking);  // shown anew either way
}

void RunRankingScene() {
  if (scene::SceneEntered()) {
    scene::BeginOpeningTransition();
    StartReveal();
    state.pulsePhase = 0.0f;
    SetMainCommand(kCommandRunning);
  }
  DrawRankingTable(-1);
  // The phase stays within one round of the table, so it never loses its
  // precision however long the screen stays up.
  state.pulsePhase = std::fmod(state.pulsePhase + midi::FrameDelta() * kPulseSteps, static_cast<float>(kPulseSteps));
  SetTextBrightness(kPulseTable[static_cast<int>(state.pulsePhase) % kPulseSteps]);
  DrawArtworkText(50, 430, "   HIT SPACE OR CLICK", 26, 0);
  scene::DrawTransitionAndPresent();
  if (StepReveal()) return;
  if (scene::LeftPressed()) scene::BeginSceneChange(scene::kSceneMain);
  const int key = scene::KeyPressed();
  if (key == platform::vk::kDelete) ClearRanking();
  else if (key == platform::vk::kSpace) scene::BeginSceneChange(scene::kSceneMain);
}

}  // namespace game
