#include "player/passage_loop.h"

#include <algorithm>
#include <utility>

#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "player/screen_hooks.h"
#include "song/song_scan.h"

namespace player {

// The marked measures (zero-based), how far the marking went, whether the
// run follows it, and the jumps made.
namespace {
struct State {
  int stage = kLoopNone;
  int firstMeasure = 0;
  int lastMeasure = 0;
  bool followed = false;
  int jumpCount = 0;
};
State state;
}  // namespace

void ResetPassageLoop() { state = {}; }

// The last measure a loop can end with: the one after it must have a start
// in the measure table.
static int ClampMeasure(int measure) { return std::clamp(measure, 0, song::kMeasureTableSize - 2); }

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
}

void ClearLoop() { state.stage = kLoopNone; }
int LoopStage() { return state.stage; }
int LoopFirstMeasure() { return state.firstMeasure; }
int LoopLastMeasure() { return state.lastMeasure; }
void SetLoopFollowed(bool followed) { state.followed = followed; }
int LoopJumpCount() { return state.jumpCount; }

std::int32_t LoopEndTick() { return song::Measure(state.lastMeasure + 1).startTick; }

bool LoopInForce() {
  // A range past the measure table's filled entries has no end to reach.
  return state.stage == kLoopSet && state.followed && PlayState() == kPlaying &&
         LoopEndTick() > song::Measure(state.firstMeasure).startTick;
}

bool LoopEndReached(std::int32_t position) { return LoopInForce() && position >= LoopEndTick(); }

void JumpToLoopStart() {
  const std::int32_t start = song::Measure(state.firstMeasure).startTick;
  SilenceAllPorts();
  ChaseTracksTo(start);
  RestartAtMeasure(state.firstMeasure);
  if (PerformanceModeFlag() == 1) RestartGuideAt(start);
  ++state.jumpCount;
  PlaybackJumpedBack();
}

}  // namespace player
