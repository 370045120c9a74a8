// What the main screen does when the playback engine tells it something
// (the engine declares these in player/screen_hooks.h).
#include "game/controls.h"
#include "game/demo_keys.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/main_scene_playback.h"
#include "game/panels.h"
#include "game/piano.h"
#include "game/piano_keys.h"
#include "game/play_mode.h"
#include "game/press_record.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/screen_hooks.h"

namespace player {

void RunStarting() {
  game::SetMainCommand(game::kCommandRunning);
  game::SetShownVerdict(game::kVerdictNone);  // the run's first verdict is always drawn
  game::ClearHaltedAtGuide();
  game::ForgetKeyboardInstrument();  // the song sets its own programs
}

void LyricBarRestarts() { game::ResetLyricBar(); }
void LyricLineArrived() { game::ShowLyricLine(); }
void LyricSyllableReached(int start, int length) { game::LightLyricSyllable(start, length); }
void RunStopped() {
  game::SetMainCommand(game::kCommandStopped);
  game::DarkenDemoKeys();
}
void ModeButtonsReleased() { game::DrawModeButtonsRaised(); }
void GuideRestarts() {
  game::ResetJudging();
  game::ClearPressRecord();
}
void DemoGuideNote(int note, bool on) { game::ShowDemoNote(note, on); }
// Every note was ended at the jump: the keys show only what is to play.
void PlaybackJumpedBack() {
  game::ResetLyricBar();
  game::RestoreLyricBar();
  if (LyricBuffer()[0] != '\0') game::ShowLyricLine();
  game::DarkenDemoKeys();
  if (PerformanceModeFlag() == 1) {
    game::DrawAllKeysUp();
    game::LightNextGuideNotes();
  }
}
int PerformanceModeFlag() { return game::PlayMode() == game::kPlayModeDemo ? 0 : 1; }

void ShowPosition(int measure, int beat) { game::DrawPositionDisplay(measure, beat); }
void ShowTempo(int beatsPerMinute) { game::DrawTempoDisplay(beatsPerMinute); }
void ShowTimeSignature() { game::DrawSignatureDisplay(); }

}  // namespace player
