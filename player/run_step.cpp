#include "player/run_step.h"

#include "base/module_state.h"
#include "midi/timing.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"

namespace player {

// Whether the run stands at the guide's chord.
namespace {
struct State {
  bool haltedAtGuide = false;
};
base::ModuleState<State> state;
}  // namespace

bool HaltedAtGuide() { return state.haltedAtGuide; }
void ClearHaltAtGuide() { state.haltedAtGuide = false; }
bool WaitingForPlayer() {
  return state.haltedAtGuide && PlayState() == kPlaying && !GuideEnded() && SongPosition() >= GuideTick();
}

static void Step() {
  const bool followsGuide = HaltsAtGuide(RunMode()) && !GuideEnded();
  if (state.haltedAtGuide && (!followsGuide || SongPosition() < GuideTick())) {
    // The player took the note (or the guide ended with it): song time goes
    // on without the wait, from the next frame.
    midi::SkipPausedTime();
    state.haltedAtGuide = false;
    return;
  }
  if (!followsGuide) {
    AdvanceClock();
    return;
  }
  if (SongPosition() < GuideTick()) AdvanceClock();
  if (SongPosition() >= GuideTick() && !state.haltedAtGuide) {
    midi::MarkClockPause();  // a press's offset counts from here
    state.haltedAtGuide = true;
  }
}

Happenings AdvancePlayback() {
  Step();
  return TakeHappenings();
}

}  // namespace player
