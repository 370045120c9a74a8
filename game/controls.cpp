#include "game/controls.h"

#include "base/module_state.h"
#include "draw/eldraw.h"
#include "draw/messages.h"
#include "files/song_file.h"
#include "game/beat_switches.h"
#include "game/adaptive_loop.h"
#include "game/calibration.h"
#include "game/computer_keyboard.h"
#include "game/engine_events.h"
#include "game/file_button.h"
#include "game/heard_timing.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/main_command.h"
#include "game/main_scene.h"
#include "game/midi_keyboard.h"
#include "game/panels.h"
#include "game/part_button.h"
#include "game/piano.h"
#include "game/piano_input.h"
#include "game/piano_keys.h"
#include "game/view_key.h"
#include "midi/midi_out.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "player/guide_track.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"
#include "scene/input.h"

namespace game {

// 1 from the frame of a left press until the first frame the button is up;
// the states of the keys that work SPEED and LOOP.
namespace {
struct State {
  bool clickLatch = false;
};
base::ModuleState<State> state;
}  // namespace

// How long a run waits for ports that cannot sound yet (the built-in
// synthesizer reading a large SoundFont just after start-up).
static constexpr std::uint32_t kPortsReadyWaitMs = 10000;

static void PressButton(int n) {
  const SourceRect r = ButtonRect(n);
  draw::PressBox(r.left, r.top, r.right, r.bottom);
}

void DrawModeButtonsRaised() {
  for (int n : {kButtonGame, kButtonTraining, kButtonDemo}) {
    const SourceRect r = ButtonRect(n);
    elDraw::Bevel(r.left, r.top, r.right, r.bottom, elDraw::kBevelRaised);
  }
}

// A run clicked for just after start-up waits for the ports to sound
// rather than lose its first notes.
static void WaitForPortsToSound() {
  if (midi::WaitForPortsReady(0)) return;
  platform::SetCursorShape(platform::CursorShape::Wait);
  midi::WaitForPortsReady(kPortsReadyWaitMs);
  platform::SetCursorShape(platform::CursorShape::Arrow);
}

// A message instead of a run; the click latch lets go on the next frame.
static void RefuseRun(const draw::PlayerText& message) {
  draw::ShowMessage("%s", draw::InPlayersLanguage(message));
  scene::ClearLeftButtonHeld();
}

// GAME, TRAINING and DEMO: a run in that mode from the top of the song.
// GAME and TRAINING need a note in the guide track to play.
static void StartRun(int button, player::PlayMode mode) {
  if (!files::SongLoaded()) return RefuseRun(kNoSongMessage);
  if (player::HaltsAtGuide(mode) && !player::GuideHasNote()) return RefuseRun(kNothingToPlayMessage);
  WaitForPortsToSound();
  ReadOutputLatency();
  HidePartName();
  DrawVerdictPanel(kVerdictX, kVerdictY, kVerdictNone);
  DrawScore(0);
  player::SetLoopFollowed(mode != player::PlayMode::Game);  // a game is always the whole song
  PressButton(button);
  draw::SetPressedBoxState(draw::kBoxMode);
  ShowHappenings(player::RewindSong());
  ShowHappenings(player::StartPlayback(mode));
  BeginLoopPasses();
  LightGuideChord();
  player::SetLastShownGuideNote(player::GuideNote());
}

void StopRun() {
  ShowHappenings(player::StopPlayback(player::kStopByUser));
  ShowHappenings(player::RewindSong());
  RestoreLyricBar();
  DrawAllKeysUp();
}

static void Stop() {
  StopRun();
  PressButton(kButtonStop);
}

// While stopped: one step slower, and from the slowest back to full speed.
static void StepSpeed() {
  const int slower = player::PlaybackSpeedPercent() - kSpeedStepPercent;
  player::SetPlaybackSpeedPercent(slower < player::kSlowestSpeedPercent ? player::kFullSpeedPercent : slower);
  DrawTempoDisplay(player::HeardTempo());  // the tempo the next run will be heard at
}

// While DEMO or TRAINING plays: marks the loop's start, then its end, then
// clears it, at the measure the counter shows. While stopped a click only
// clears a loop; a game ignores the button. True when the click acted.
static bool ClickLoop() {
  if (player::PlayState() == player::kPlaying) {
    if (player::RunMode() == player::PlayMode::Game) return false;
    player::MarkLoopMeasure(player::CurrentMeasure());
  } else if (player::LoopStage() != player::kLoopNone) {
    player::ClearLoop();
  } else {
    return false;
  }
  return true;
}

void PressButtonRow(int x, int y) {
  if (x <= kButtonLeft || x >= kButtonRowRight || y <= kButtonTop || y >= kButtonBottom) return;
  PressRowButton((x - kButtonLeft) / kButtonWidth);
}

void PressRowButton(int n) {
  // A click on a button ends a calibration under way, and does nothing else.
  if (CalibrationRunning()) return static_cast<void>(ToggleCalibration());
  // While a song plays only the stop and loop buttons act.
  if (player::PlayState() == player::kPlaying && n != kButtonStop && n != kButtonLoop) return;
  switch (n) {
    case kButtonFile: RunFileButton(); break;
    case kButtonStop: Stop(); break;
    case kButtonGame: StartRun(n, player::PlayMode::Game); break;
    case kButtonTraining: StartRun(n, player::PlayMode::Training); break;
    case kButtonDemo: StartRun(n, player::PlayMode::Demo); break;
    case kButtonPart: RunPartButton(platform::KeyIsDown(platform::vk::kShift) ? PartStep::Previous : PartStep::Next); break;
    case kButtonRank:
      SetMainCommand(kCommandRanking);
      PressButton(n);
      break;
    case kButtonExit:
      SetMainCommand(kCommandExit);
      PressButton(n);
      break;
    case kButtonSpeed:
      StepSpeed();
      PressButton(n);
      break;
    case kButtonLoop:
      if (ClickLoop()) PressButton(n);
      break;
    default: break;
  }
}

// F6 and F7 work SPEED and LOOP as their buttons do: keys far from the note
// keys, and unused by name entry, which is a scene of its own.
static void RunSettingKeys() {
  if (scene::KeyWentDown(platform::vk::kF6) && player::PlayState() == player::kStopped) StepSpeed();
  if (scene::KeyWentDown(platform::vk::kF7) && platform::KeyIsDown(platform::vk::kShift)) ToggleAdaptiveLoop();
  else if (scene::KeyWentDown(platform::vk::kF7)) ClickLoop();
  if (scene::KeyWentDown(platform::vk::kF9)) ToggleCalibration();
  RunCalibration();
  RunViewKey();
  RunBeatKeys();
}

// The other buttons' keys (Shift+F5 steps the part back, as Shift and a
// click do): each acts as a click on its button, and the button is let up
// on the next frame as after a click. Space stops a run; a game whose part
// is over takes it as its end first (game/part_over).
static void RunButtonKeys() {
  static constexpr struct {
    int key;
    int button;
  } kButtonKeys[] = {{platform::vk::kF1, kButtonFile}, {platform::vk::kF2, kButtonDemo},
                     {platform::vk::kF3, kButtonTraining}, {platform::vk::kF4, kButtonGame},
                     {platform::vk::kF5, kButtonPart}, {platform::vk::kF8, kButtonRank}};
  for (const auto& k : kButtonKeys) {
    if (!scene::KeyWentDown(k.key) || state.clickLatch) continue;
    PressRowButton(k.button);
    state.clickLatch = true;
  }
  if (scene::KeyWentDown(platform::vk::kSpace) && player::PlayState() == player::kPlaying && !state.clickLatch) {
    PressRowButton(kButtonStop);
    state.clickLatch = true;
  }
}

Command RunMainControls() {
  PlayPianoInput();
  RunSettingKeys();
  RunButtonKeys();
  RunPartRightClick();
  const bool leftHeld = MainSceneLeftButton();
  if (!leftHeld && state.clickLatch) {
    state.clickLatch = false;
    if (draw::PressedBoxState() == draw::kBoxMomentary) draw::ReleaseBox();
    draw::SetPressedBoxState(draw::kBoxNone);  // a mode button stays drawn pressed
  }
  if (leftHeld && !state.clickLatch) {
    state.clickLatch = true;
    PressButtonRow(MainScenePointerX(), MainScenePointerY());
  }
  return MainCommand();
}

}  // namespace game
