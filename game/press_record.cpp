#include "game/press_record.h"

#include <algorithm>

#include "game/judging.h"
#include "game/main_scene_playback.h"
#include "midi/timing.h"
#include "platform/platform.h"
#include "player/guide_track.h"
#include "song/song_scan.h"
#include "song/song_store.h"

namespace game {

// The presses judged since the guide started.
namespace {
struct State {
  std::vector<JudgedPress> presses;
  bool pressMomentSet = false;
  std::uint32_t pressMoment = 0;
};
State state;
}  // namespace

const std::vector<JudgedPress>& JudgedPresses() { return state.presses; }
void ClearPressRecord() { state = {}; }

void SetPressMoment(std::uint32_t ms) {
  state.pressMomentSet = true;
  state.pressMoment = ms;
}
void ClearPressMoment() { state.pressMomentSet = false; }
std::uint32_t PressMomentMs() { return state.pressMomentSet ? state.pressMoment : platform::TimeMs(); }

int PressOffsetMs() {
  std::int64_t offset = HaltedAtGuide() ? static_cast<std::int64_t>(midi::MsSinceClockPause()) : -GuideEarlinessMs();
  // Both the song before the note and the halt at it run in real time: the
  // offset a moment ago was smaller by that moment's distance.
  offset -= static_cast<std::int64_t>(platform::TimeMs() - PressMomentMs());
  return static_cast<int>(std::clamp<std::int64_t>(offset, -kLongestOffsetMs, kLongestOffsetMs));
}

int MeasureOfTick(std::int32_t tick) {
  // The table holds the scanned measures and two more; past its end the
  // measures go on in the last one's length.
  const int filled = std::clamp(song::ScannedMeasureCount() + 2, 1, song::kMeasureTableSize);
  int low = 0, high = filled - 1;  // the last entry that starts at or before the tick
  if (tick < song::Measure(0).startTick) return 1;
  while (low < high) {
    const int middle = (low + high + 1) / 2;
    if (song::Measure(middle).startTick <= tick) low = middle;
    else high = middle - 1;
  }
  const song::MeasureEntry& last = song::Measure(low);
  std::int64_t measure = low;
  if (low == filled - 1)
    measure += (static_cast<std::int64_t>(tick) - last.startTick) / song::TicksPerMeasure(song::Division(), last.numerator, last.denominator);
  return static_cast<int>(std::min<std::int64_t>(measure + 1, INT32_MAX));
}

void RecordJudgedPress(int offsetMs, int verdict) {
  const std::int32_t tick = player::GuideTick();
  state.presses.push_back({static_cast<int>(state.presses.size()), offsetMs, verdict, tick, MeasureOfTick(tick)});
}

}  // namespace game
