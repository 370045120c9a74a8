#include "app/scenes.h"

#include "app/command_line.h"
#include "app/shutdown.h"
#include "draw/messages.h"
#include "files/load_song.h"
#include "game/engine_events.h"
#include "game/main_command.h"
#include "game/main_scene.h"
#include "game/panels.h"
#include "game/piano_input.h"
#include "game/score_screens.h"
#include "game/statistics_scene.h"
#include "midi/midi_out.h"
#include "platform/platform.h"
#include "player/event_dispatch.h"
#include "player/playback_clock.h"
#include "player/run_step.h"
#include "scene/input.h"
#include "scene/scenes.h"
#include "song/song_store.h"

namespace app {

void RunStartUpScene() {
  scene::LoadSceneArtwork();
  midi::OpenMidiOutPorts(CommandLineBuffer());
  platform::OpenMidiInput();  // a MIDI keyboard plays the piano too
  player::ClearNoteTables();
  song::PrepareSongStore();
  if (CommandLineBuffer()[0] != '\0') files::LoadCommandLineSong(CommandLineBuffer());
  else song::InstallEmptySong();
  game::DrawTitlePanel();
  game::ShowHappenings(player::RewindSong());
  player::ClearHaltAtGuide();
  scene::ChangeSceneDirectly(scene::kSceneMain);
}

void RunExitQuestionScene() {
  if (scene::SceneEntered()) scene::BeginOpeningTransition();
  if (draw::AskYesNo("%s", report::InPlayersLanguage(kExitQuestion))) {
    scene::ClearBackScreen();
    scene::DrawTransitionAndPresent();
    Shutdown();
  } else {
    game::SetMainCommand(game::kCommandRunning);
    scene::ClearLeftButtonHeld();
    scene::BeginSceneChange(scene::kSceneMain);
  }
}

static bool MainSceneShown() {
  return scene::SceneNumber() == scene::kSceneMain && !scene::SceneEntered() && scene::TransitionStep() == 0;
}

// The keys that came since the last pass sound the moment they are taken,
// not a frame later.
void PlayPianoBetweenFrames() {
  if (MainSceneShown()) game::PlayPianoInput();
}

bool SceneAtRest() {
  const bool still = player::PlayState() != player::kPlaying || player::WaitingForPlayer();
  return MainSceneShown() && still && QuitState() == kRunning;
}

void RunSceneStep() {
  scene::BeginSceneStep();
  if (!scene::StepClosingWipe()) {
    switch (scene::SceneNumber()) {
      case scene::kSceneMain: game::RunMainScene(); break;
      case scene::kSceneStartUp: RunStartUpScene(); break;
      case scene::kSceneNameEntry: game::RunNameEntryScene(); break;
      case scene::kSceneRanking: game::RunRankingScene(); break;
      case scene::kSceneStatistics: game::RunStatisticsScene(); break;
      case scene::kSceneExitQuestion: RunExitQuestionScene(); break;
      default: break;
    }
  }
  // The keys pressed on other screens sound nothing.
  if (scene::SceneNumber() != scene::kSceneMain) game::SetAsidePianoKeys();
  scene::EndSceneStep();
}

}  // namespace app
