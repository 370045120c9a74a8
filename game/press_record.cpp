#include "game/press_record.h"

#include <algorithm>

#include "base/module_state.h"
#include "game/judging.h"
#include "midi/timing.h"
#include "platform/platform.h"
#include "player/guide_track.h"
#include "player/run_step.h"
#include "song/measure_map.h"

namespace game {

// The presses judged since the guide started.
namespace {
struct State {
  std::vector<JudgedPress> presses;
};
base::ModuleState<State> state;
}  // namespace

const std::vector<JudgedPress>& JudgedPresses() { return state.presses; }
void ClearPressRecord() { state.Reset(); }

int PressOffsetMs(std::uint32_t pressMs) {
  std::int64_t offset = player::HaltedAtGuide() ? static_cast<std::int64_t>(midi::MsSinceClockPause()) : -GuideEarlinessMs();
  // Both the song before the note and the halt at it run in real time: the
  // offset a moment ago was smaller by that moment's distance.
  offset -= static_cast<std::int64_t>(platform::TimeMs() - pressMs);
  return static_cast<int>(std::clamp<std::int64_t>(offset, -kLongestOffsetMs, kLongestOffsetMs));
}

// The measure the counter shows at the note, counted from 1.
int MeasureOfTick(std::int32_t tick) { return song::MeasureOfTick(tick) + 1; }

void RecordJudgedPress(int offsetMs, int verdict) {
  const std::int32_t tick = player::GuideTick();
  state.presses.push_back({static_cast<int>(state.presses.size()), offsetMs, verdict, tick, MeasureOfTick(tick)});
}

}  // namespace game
