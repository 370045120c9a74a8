// What the main screen does when the playback engine tells it something
// (the engine declares these in player/screen_hooks.h).
#include "game/controls.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/main_scene_playback.h"
#include "game/panels.h"
#include "game/piano.h"
#include "game/piano_keys.h"
#include "game/play_mode.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/screen_hooks.h"

namespace player {

void RunStarting() {
  game::SetMainCommand(game::kCommandRunning);
  game::SetShownVerdict(game::kVerdictNone);  // the run's first verdict is always drawn
  game::ClearHaltedAtGuide();
}

void LyricBarRestarts() { game::ResetLyricBar(); }
void LyricLineArrived() { game::ShowLyricLine(); }
void RunStopped() { game::SetMainCommand(game::kCommandStopped); }
void ModeButtonsReleased() { game::DrawModeButtonsRaised(); }
void PlaybackJumpedBack() {
  game::ResetLyricBar();
  game::RestoreLyricBar();
  if (LyricBuffer()[0] != '\0') game::ShowLyricLine();
  if (PerformanceModeFlag() == 1) {
    game::DrawGuideKey(LastShownGuideNote(), game::kKeyLookUp);
    game::DrawGuideKey(GuideNoteToShow(), game::kKeyLookLit);
    SetLastShownGuideNote(GuideNoteToShow());
  }
}
void GuideRestarts() { game::ResetJudging(); }
int PerformanceModeFlag() { return game::PlayMode() == game::kPlayModeDemo ? 0 : 1; }

void ShowPosition(int measure, int beat) { game::DrawPositionDisplay(measure, beat); }
void ShowTempo(int beatsPerMinute) { game::DrawTempoDisplay(beatsPerMinute); }
void ShowTimeSignature() { game::DrawSignatureDisplay(); }

}  // namespace player
