#include "app/scenes.h"

#include "app/command_line.h"
#include "app/shutdown.h"
#include "draw/messages.h"
#include "files/load_song.h"
#include "game/computer_keyboard.h"
#include "game/main_scene.h"
#include "game/main_scene_playback.h"
#include "game/midi_keyboard.h"
#include "game/panels.h"
#include "game/play_mode.h"
#include "game/score_screens.h"
#include "game/statistics_scene.h"
#include "midi/midi_out.h"
#include "platform/platform.h"
#include "player/event_dispatch.h"
#include "player/playback_clock.h"
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
  player::RewindSong();
  game::ClearHaltedAtGuide();
  scene::ChangeSceneDirectly(scene::kSceneMain);
}

void RunExitQuestionScene() {
  if (scene::SceneEntered()) scene::BeginOpeningTransition();
  if (draw::AskYesNo("%s", report::InPlayersLanguage(kExitQuestion)) == 1) {
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

// A key of the computer keyboard sounds once two passes have seen it down,
// so both readings are taken now: the note goes out the moment the key
// arrives, with the decision (judging included) the second pass would
// take, and the passes that follow find it sounding. A key let go is
// silenced by the first reading. The MIDI keyboard's notes need one.
void PlayPianoBetweenFrames() {
  if (!MainSceneShown()) return;
  game::PlayComputerKeyboard();
  game::PlayComputerKeyboard();
  game::PlayMidiKeyboard();
}

bool SceneAtRest() {
  const bool still = player::PlayState() != player::kPlaying || game::WaitingForPlayer();
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
  scene::EndSceneStep();
}

}  // namespace app
