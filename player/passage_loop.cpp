#include "player/passage_loop.h"

#include <algorithm>
#include <utility>

#include "base/module_state.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/happenings.h"
#include "player/playback_clock.h"
#include "song/measure_map.h"
#include "song/song_scan.h"
#include "song/song_store.h"

namespace player {

// The marked measures (zero-based), how far the marking went, whether the
// run follows it, and the jumps made.
namespace {
struct State {
  LoopStep stage = kLoopNone;
  int firstMeasure = 0;
  int lastMeasure = 0;
  bool followed = false;
  int jumpCount = 0;
  int generation = 0;
};
base::ModuleState<State> state;
}  // namespace

// A loop's measures are the song's: each at least a beat long, so a
// passage never jumps back on every frame.
static int ClampMeasure(int measure) { return std::clamp(measure, 0, song::SongMeasureCount() - 1); }

void MarkLoopMeasure(int measure) {
  switch (state.stage) {
    case kLoopNone:
      state.firstMeasure = ClampMeasure(measure);
      state.stage = kLoopStartMarked;
      break;
    case kLoopStartMarked:
      SetLoop(state.firstMeasure, ClampMeasure(measure));
      break;
    default:
      ClearLoop();
      break;
  }
}

void SetLoop(int firstMeasure, int lastMeasure) {
  if (lastMeasure < firstMeasure) std::swap(firstMeasure, lastMeasure);
  state.firstMeasure = ClampMeasure(firstMeasure);
  state.lastMeasure = ClampMeasure(lastMeasure);
  state.stage = kLoopSet;
  ++state.generation;
}

void ClearLoop() {
  state.stage = kLoopNone;
  ++state.generation;
}
int LoopGeneration() { return state.generation; }
LoopStep LoopStage() { return state.stage; }
int LoopFirstMeasure() { return state.firstMeasure; }
int LoopLastMeasure() { return state.lastMeasure; }
void SetLoopFollowed(bool followed) { state.followed = followed; }
int LoopJumpCount() { return state.jumpCount; }

std::int32_t LoopStartTick() { return song::MeasureFirstTick(state.firstMeasure); }
std::int32_t LoopEndTick() { return song::MeasureFirstTick(state.lastMeasure + 1); }

bool LoopInForce() {
  // The song's end ends a passage too: one shorter than a beat (in a song
  // shorter than that) would jump back on every frame.
  const std::int64_t passageEnd = std::min(LoopEndTick(), song::ScannedEndTick());
  return state.stage == kLoopSet && state.followed && PlayState() == kPlaying &&
         passageEnd - LoopStartTick() >= std::max(song::Division(), 1);
}

bool LoopEndReached(std::int32_t position) { return LoopInForce() && position >= LoopEndTick(); }

// What sounds ends, and the song stands at the loop's first measure as
// playing from the top would leave it there.
static void GoToLoopStart() {
  SilenceAllPorts();
  ChaseTracksTo(LoopStartTick());
  RestartAtMeasure(state.firstMeasure);
  if (HaltsAtGuide(RunMode())) RestartGuideAt(LoopStartTick());
  Report(Happening::Kind::JumpedBack);
}

void JumpToLoopStart() {
  ++state.jumpCount;
  GoToLoopStart();
}

void StartAtLoop() {
  if (LoopInForce()) GoToLoopStart();
}

}  // namespace player
