#include "player/beat_clicks.h"

#include <algorithm>

#include "player/playback_clock.h"

namespace player {

std::optional<Click> MetronomeClickBetween(std::int32_t from, std::int32_t to) {
  if (to <= from) return std::nullopt;
  const std::int32_t beat = song::BeatStartOfTick(to - 1);
  if (beat < from) return std::nullopt;
  return Click{beat, song::BeatOfTick(beat) == 1};
}

CountIn CountInBefore(const song::MeasureStart& start, int speedPercent) {
  // The clock's own step: whole milliseconds a quarter, then the speed.
  const std::int32_t songBeatMs = song::kMicrosecondsPerMinute / std::clamp(start.tempo, kMinTempo, kMaxTempo) / 1000;
  const int speed = std::clamp(speedPercent, kSlowestSpeedPercent, kFullSpeedPercent);
  return {std::clamp(start.numerator, 1, 255), songBeatMs * kFullSpeedPercent / speed};
}

int CountInClicksDue(const CountIn& countIn, std::int64_t elapsedMs) {
  if (elapsedMs < 0) return 0;
  return static_cast<int>(std::min<std::int64_t>(countIn.beats, elapsedMs / std::max(countIn.beatMs, 1) + 1));
}

}  // namespace player
