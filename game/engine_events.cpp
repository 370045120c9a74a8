#include "game/engine_events.h"

#include "game/adaptive_loop.h"
#include "game/controls.h"
#include "game/demo_keys.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/main_command.h"
#include "game/panels.h"
#include "game/piano.h"
#include "game/piano_keys.h"
#include "game/press_record.h"
#include "game/verdict_display.h"
#include "player/event_dispatch.h"
#include "player/playback_clock.h"

namespace game {

namespace {

// A run is starting: the main command becomes "running", and no verdict is
// on the timing panel.
void RunStarting() {
  SetMainCommand(kCommandRunning);
  ForgetShownVerdict();  // the run's first verdict is always drawn
  ForgetKeyboardInstrument();     // the song sets its own programs
}

void RunStopped() {
  SetMainCommand(kCommandStopped);
  DarkenDemoKeys();
}

void GuideRestarts() {
  ResetJudging();
  ClearPressRecord();
}

// A loop sent playback back: every note was ended at the jump, the lyric
// bar starts over with the line in force there and the keys show only what
// is to play.
void JumpedBack() {
  ResetLyricBar();
  RestoreLyricBar();
  if (player::LyricBuffer()[0] != '\0') ShowLyricLine();
  DarkenDemoKeys();
  if (player::HaltsAtGuide(player::RunMode())) {
    DrawAllKeysUp();
    LightNextGuideNotes();
  }
  EndLoopPass();
}

void Show(const player::Happening& h) {
  using Kind = player::Happening::Kind;
  switch (h.kind) {
    case Kind::RunStarting: RunStarting(); break;
    case Kind::LyricBarRestarts: ResetLyricBar(); break;
    case Kind::LyricLine: ShowLyricLine(); break;
    case Kind::LyricSyllable: LightLyricSyllable(h.a, h.b); break;
    case Kind::RunStopped: RunStopped(); break;
    case Kind::ModeButtonsUp: DrawModeButtonsRaised(); break;
    case Kind::GuideRestarts: GuideRestarts(); break;
    case Kind::DemoNote: ShowDemoNote(h.a, h.b != 0); break;
    case Kind::JumpedBack: JumpedBack(); break;
    case Kind::Position: DrawPositionDisplay(h.a, h.b); break;
    case Kind::Tempo: DrawTempoDisplay(h.a); break;
    case Kind::TimeSignature: DrawSignatureDisplay(); break;
  }
}

}  // namespace

void ShowHappenings(const player::Happenings& happenings) {
  for (const player::Happening& h : happenings.list) Show(h);
}

}  // namespace game
