#include "player/run_step.h"

#include <algorithm>

#include "base/module_state.h"
#include "midi/timing.h"
#include "player/beat_clicks.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "song/measure_map.h"

namespace player {

// Whether the run stands at the guide's chord, and the count-in: whether
// it is on, and the one under way with the clicks it has sounded.
namespace {
struct State {
  bool haltedAtGuide = false;
  bool countInOn = false;
  bool countingIn = false;
  CountIn countIn;
  int countInClicks = 0;
  std::int32_t countInFrom = 0;  // where the song stands while it waits
};
base::ModuleState<State> state;
}  // namespace

bool HaltedAtGuide() { return state.haltedAtGuide; }
void ClearHaltAtGuide() { state.haltedAtGuide = false; }
bool WaitingForPlayer() {
  return state.haltedAtGuide && PlayState() == kPlaying && !GuideEnded() && SongPosition() >= GuideTick();
}

void SetCountInOn(bool on) { state.countInOn = on; }
bool CountInOn() { return state.countInOn; }

// The song's clock runs from the end of the count-in: until then its time
// is negative.
static std::int64_t CountInElapsedMs() {
  return static_cast<std::int32_t>(midi::SongClockMs()) + static_cast<std::int64_t>(state.countIn.LengthMs());
}

std::int64_t CountInRemainingMs() {
  return state.countingIn && PlayState() == kPlaying ? std::max<std::int64_t>(state.countIn.LengthMs() - CountInElapsedMs(), 0) : 0;
}

// Clicks those of the count-in that are due, each shown on the beat panel
// (measure 0, the measure before the song's).
static void SoundCountInClicks() {
  const int due = CountInClicksDue(state.countIn, CountInElapsedMs());
  for (; state.countInClicks < due; ++state.countInClicks) {
    SendClick(state.countInClicks == 0);
    Report(Happening::Kind::Position, 0, state.countInClicks + 1);
  }
}

void BeginCountInIfOn(PlayMode mode) {
  state.countingIn = state.countInOn && HaltsAtGuide(mode);
  if (!state.countingIn) return;
  // The song stands at the measure the run starts at, with its tempo.
  state.countIn = CountInBefore(song::MeasureStartOf(CurrentMeasure()), PlaybackSpeedPercent());
  state.countInClicks = 0;
  state.countInFrom = SongPosition();
  midi::DelayClockOrigin(static_cast<std::uint32_t>(state.countIn.LengthMs()));
  SoundCountInClicks();
}

// A frame of the count-in; true while it holds the song. Its last frame
// only shows the song's first beat: the song moves from the next, as it
// does from the frame after a run without a count-in starts.
static bool CountInStep() {
  if (!state.countingIn) return false;
  // A stop ends it, and so does an early press that moved the song on to
  // its note: the song has begun.
  if (PlayState() != kPlaying || SongPosition() != state.countInFrom) {
    state.countingIn = false;
    return false;
  }
  SoundCountInClicks();
  if (CountInElapsedMs() >= state.countIn.LengthMs()) {
    state.countingIn = false;
    Report(Happening::Kind::Position, CurrentMeasure() + 1, CurrentBeat());
  }
  return true;
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
  EndClickAfter(kClickHeldMs);
  if (!CountInStep()) Step();
  return TakeHappenings();
}

}  // namespace player
