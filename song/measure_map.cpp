#include "song/measure_map.h"

#include <algorithm>
#include <vector>

#include "base/module_state.h"
#include "song/song_store.h"
#include "song/track_cursor.h"
#include "song/track_reader.h"

namespace song {

namespace {

constexpr std::int64_t kNoLastMeasure = INT32_MAX;
// A denominator exponent above 7 (a 128th note) is taken as 7.
constexpr int kLargestDenominatorExponent = 7;

// A stretch of the song under one time signature: from `tick`, where the
// counter shows `measure`, a measure is `numerator` quarter notes, up to
// `lastMeasure`, the last measure shown before the next stretch begins.
struct Stretch {
  std::int32_t tick;
  std::int64_t measure;
  int numerator;
  int denominator;
  std::int64_t lastMeasure;
};

struct TempoChange {
  std::int32_t tick;
  int tempo;
};

// The stretches (the first from tick 0 in 4/4) and tempo changes of the
// conductor track in the song's order, and the song's quarter and end.
struct State {
  std::vector<Stretch> stretches{{0, 0, 4, 4, kNoLastMeasure}};
  std::vector<TempoChange> tempos;
  std::int32_t ticksPerQuarter = kDefaultDivision;
  std::int32_t endTick = 0;
  int conductor = 0;
};
base::ModuleState<State> state;

std::int64_t MeasureIn(const Stretch& stretch, std::int32_t tick) {
  const std::int64_t quarters = (static_cast<std::int64_t>(tick) - stretch.tick) / state.ticksPerQuarter;
  return stretch.measure + quarters / stretch.numerator;
}

// The stretch in force at `tick` (the first for ticks before it).
const Stretch& StretchAt(std::int32_t tick) {
  const auto after = std::upper_bound(state.stretches.begin(), state.stretches.end(), tick,
                                      [](std::int32_t t, const Stretch& s) { return t < s.tick; });
  return after == state.stretches.begin() ? *after : *(after - 1);
}

// Ticks never go back: a time that wrapped round takes effect where the
// last change did.
void AddSignature(std::int32_t time, int numerator, int exponent) {
  Stretch& last = state.stretches.back();
  const std::int32_t tick = std::max(time, last.tick);
  const Stretch next{tick, MeasureIn(last, tick), numerator == 0 ? 4 : numerator,
                     1 << std::min(exponent, kLargestDenominatorExponent), kNoLastMeasure};
  if (tick == last.tick) {
    last = next;  // the later of two signatures on one tick holds
    return;
  }
  last.lastMeasure = MeasureIn(last, tick - 1);
  state.stretches.push_back(next);
}

void AddTempo(std::int32_t time, int tempo) {
  const std::int32_t tick = state.tempos.empty() ? time : std::max(time, state.tempos.back().tick);
  state.tempos.push_back({tick, tempo});
}

bool HasTempoOrSignature(int track) {
  TrackCursor cursor = TrackCursor::AtTrack(track);
  for (;;) {
    const TrackEvent e = cursor.Next();
    if (e.kind == EventKind::Meta && (e.metaType == kMetaTempo || e.metaType == kMetaTimeSignature)) return true;
    if (e.kind == EventKind::End) return false;
  }
}

int FindConductor() {
  for (int track = 0; track < TrackCount(); ++track)
    if (HasTempoOrSignature(track)) return track;
  return 0;
}

}  // namespace

void BuildMeasureMap(std::int32_t endTick) {
  state.Reset();
  state.ticksPerQuarter = std::max(Division(), 1);  // a division of 0 counts no quarters
  state.endTick = endTick;
  state.conductor = FindConductor();
  TrackCursor cursor = TrackCursor::AtTrack(state.conductor);
  for (;;) {
    const TrackEvent e = cursor.Next();
    if (e.kind == EventKind::End) break;
    if (e.kind != EventKind::Meta) continue;
    // Both are read at fixed places behind the event's start: a malformed
    // event is read as if well formed.
    if (e.metaType == kMetaTimeSignature) AddSignature(e.time, SongByte(e.offset + 3), SongByte(e.offset + 4));
    const std::int32_t microseconds = ReadBigEndian(e.offset + 3, 3);
    // A tempo of 0 microseconds per quarter has no meaning and is ignored.
    if (e.metaType == kMetaTempo && microseconds > 0) AddTempo(e.time, kMicrosecondsPerMinute / microseconds);
  }
}

int ConductorTrack() { return state.conductor; }

int MeasureOfTick(std::int32_t tick) {
  const Stretch& stretch = StretchAt(tick);
  if (tick < stretch.tick) return 0;
  return static_cast<int>(std::min(MeasureIn(stretch, tick), kNoLastMeasure - 1));
}

int BeatOfTick(std::int32_t tick) {
  const Stretch& stretch = StretchAt(tick);
  if (tick < stretch.tick) return 1;
  const std::int64_t quarters = (static_cast<std::int64_t>(tick) - stretch.tick) / state.ticksPerQuarter;
  return static_cast<int>(quarters % stretch.numerator) + 1;
}

std::int32_t BeatStartOfTick(std::int32_t tick) {
  const Stretch& stretch = StretchAt(tick);
  if (tick < stretch.tick) return INT32_MIN;
  const std::int64_t quarters = (static_cast<std::int64_t>(tick) - stretch.tick) / state.ticksPerQuarter;
  return static_cast<std::int32_t>(stretch.tick + quarters * state.ticksPerQuarter);
}

MeasureStart MeasureStartOf(int measure) {
  // The first stretch that shows the measure: it begins there, or the
  // measure began in an earlier stretch that already showed it.
  const auto stretch = std::partition_point(state.stretches.begin(), state.stretches.end(),
                                            [measure](const Stretch& s) { return s.lastMeasure < measure; });
  const std::int64_t into = std::max<std::int64_t>(measure - stretch->measure, 0);
  const std::int64_t tick = stretch->tick + into * stretch->numerator * state.ticksPerQuarter;
  MeasureStart start;
  start.tick = static_cast<std::int32_t>(std::min<std::int64_t>(tick, INT32_MAX));
  start.numerator = stretch->numerator;
  start.denominator = stretch->denominator;
  const auto at = std::lower_bound(state.tempos.begin(), state.tempos.end(), start.tick,
                                   [](const TempoChange& c, std::int32_t t) { return c.tick < t; });
  if (at != state.tempos.end() && at->tick == start.tick) start.tempo = at->tempo;
  else if (at != state.tempos.begin()) start.tempo = (at - 1)->tempo;
  return start;
}

std::int32_t MeasureFirstTick(int measure) { return MeasureStartOf(measure).tick; }

int SongMeasureCount() {
  const std::int64_t lastStart = static_cast<std::int64_t>(state.endTick) - state.ticksPerQuarter;
  return lastStart < 0 ? 1 : MeasureOfTick(static_cast<std::int32_t>(lastStart)) + 1;
}

}  // namespace song
