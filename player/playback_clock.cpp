#include "player/playback_clock.h"

#include <algorithm>

#include "base/module_state.h"
#include "midi/timing.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/lyric_lines.h"
#include "player/passage_loop.h"
#include "player/run_step.h"
#include "song/measure_map.h"
#include "song/song_store.h"

namespace player {

// The clock's state: transport, position, tempo and signature in force, the
// anchor the position is measured from, and the counters on the screen.
namespace {
struct State {
  Transport playState = kStopped;
  std::int32_t songPosition = 0;
  int tempo = 120;
  std::int32_t microsecondsPerQuarter = 500000;
  int beatsPerMeasure = 4;
  int beatUnit = 4;
  std::int32_t tickBase = 0;
  std::int32_t accumulatedMs = 0;
  std::int32_t lastElapsed = 0;
  std::int32_t positionOffset = 0;
  int currentMeasure = 0;
  int currentBeat = 1;
  int speedPercent = kFullSpeedPercent;
  PlayMode runMode = PlayMode::Training;
};
base::ModuleState<State> state;
}  // namespace

Transport PlayState() { return state.playState; }
PlayMode RunMode() { return state.runMode; }
std::int32_t SongPosition() { return state.songPosition; }
void SetSongPosition(std::int32_t position) { state.songPosition = position; }
int Tempo() { return state.tempo; }
void SetTempo(int beatsPerMinute) { state.tempo = beatsPerMinute; }
std::int32_t MicrosecondsPerQuarter() { return state.microsecondsPerQuarter; }
int BeatsPerMeasure() { return state.beatsPerMeasure; }
int BeatUnit() { return state.beatUnit; }
int CurrentMeasure() { return state.currentMeasure; }
int CurrentBeat() { return state.currentBeat; }
int PlaybackSpeedPercent() { return state.speedPercent; }
void SetPlaybackSpeedPercent(int percent) {
  state.speedPercent = std::clamp(percent, kSlowestSpeedPercent, kFullSpeedPercent);
}
int HeardTempo() { return (state.tempo * state.speedPercent + kFullSpeedPercent / 2) / kFullSpeedPercent; }
std::int64_t SongMsToPlayerMs(std::int64_t songMs) { return songMs * kFullSpeedPercent / state.speedPercent; }

// From here on the tempo in force applies to the time that follows; the
// song position itself does not move.
static void Reanchor() {
  state.tickBase = state.songPosition;
  state.accumulatedMs = state.lastElapsed = state.positionOffset = 0;
  midi::SetClockOrigin();
}

void ReanchorAt(std::int32_t position) {
  midi::SetClockOrigin();
  state.lastElapsed = state.accumulatedMs = 0;
  state.positionOffset = position - state.tickBase;
}

static void ResetCounters() {
  state.lastElapsed = state.accumulatedMs = state.tickBase = 0;
}

int AdvanceClock() {
  if (state.playState != kPlaying) return 0;
  const auto elapsed = static_cast<std::int32_t>(midi::SongClockMs());
  if (elapsed > state.lastElapsed) {
    state.accumulatedMs += elapsed - state.lastElapsed;
    state.lastElapsed = elapsed;
    const std::int64_t msPerQuarter = state.microsecondsPerQuarter / 1000;  // truncated first, as the counters expect
    // At full speed the percentages cancel exactly: the same ticks as the
    // song's own clock gives.
    const std::int64_t elapsedTicks = static_cast<std::int64_t>(song::Division()) * state.accumulatedMs *
                                      state.speedPercent / (msPerQuarter * kFullSpeedPercent);
    state.songPosition = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        state.tickBase + elapsedTicks + state.positionOffset, INT32_MIN, INT32_MAX));
    // A frame that would carry the song past its end stops at the guide's
    // chord first, so the player still gets to play it.
    if (GuideChordBeforeSongEnd(state.songPosition)) {
      state.songPosition = GuideTick();
      ReanchorAt(state.songPosition);
    }
  }
  if (LoopEndReached(state.songPosition)) {
    // The last measure's events up to its end, then back to the first
    // (unless the song's own end already sent it back).
    state.songPosition = LoopEndTick();
    DispatchDueEvents();
    if (state.playState == kPlaying && state.songPosition >= LoopEndTick()) JumpToLoopStart();
    return 1;
  }
  const int measure = song::MeasureOfTick(state.songPosition);
  const int beat = song::BeatOfTick(state.songPosition);
  const bool changed = measure != state.currentMeasure || beat != state.currentBeat;
  state.currentMeasure = measure;
  state.currentBeat = beat;
  DispatchDueEvents();
  // Shown from the state: a loop that jumped or an end that rewound has
  // shown its own position already.
  if (changed) Report(Happening::Kind::Position, state.currentMeasure + 1, state.currentBeat);
  return changed ? 1 : 0;
}

void ApplyTempo() {
  state.tempo = std::clamp(state.tempo, kMinTempo, kMaxTempo);
  state.microsecondsPerQuarter = song::kMicrosecondsPerMinute / state.tempo;
  Reanchor();
  Report(Happening::Kind::Tempo, HeardTempo());
}

void ApplyTimeSignature(std::uint8_t numerator, std::uint8_t denominatorPower) {
  Reanchor();
  state.beatsPerMeasure = numerator == 0 ? 4 : numerator;
  state.beatUnit = 1 << (denominatorPower % 32 > 30 ? 30 : denominatorPower % 32);
  Report(Happening::Kind::TimeSignature);
}

std::int32_t SeekToMeasure(int measure) {
  const song::MeasureStart start = song::MeasureStartOf(measure);
  state.beatsPerMeasure = start.numerator;
  state.beatUnit = start.denominator;
  state.tempo = start.tempo;
  ApplyTempo();
  Report(Happening::Kind::TimeSignature);
  return start.tick;
}

void RestartAtMeasure(int measure) {
  state.currentMeasure = std::max(measure, 0);
  state.currentBeat = 1;
  state.songPosition = song::MeasureFirstTick(state.currentMeasure);
  SeekToMeasure(state.currentMeasure);  // re-anchors at the position
  Report(Happening::Kind::Position, state.currentMeasure + 1, 1);
}

void Rewind() {
  RewindTracks();
  midi::ResumeClockOrigin();
  state.songPosition = 0;
  state.currentMeasure = 0;
  state.currentBeat = 1;
  state.positionOffset = SeekToMeasure(0);
  ResetCounters();
  Report(Happening::Kind::Position, 1, 1);
  ApplyTempo();
  Report(Happening::Kind::TimeSignature);
}

Happenings RewindSong() {
  Rewind();
  return TakeHappenings();
}

Happenings StartPlayback(PlayMode mode) {
  // This also clears a halt at a guide note left over from a run stopped
  // while it waited: the new run's clock must not stand still.
  ClearHaltAtGuide();
  Report(Happening::Kind::RunStarting);
  const bool starting = state.playState == kStopped;
  if (starting) {
    state.runMode = mode;
    Report(Happening::Kind::LyricBarRestarts);
    GatherLyricLines();
    BeginGuideTrack();
    state.playState = kPlaying;
    if (song::SongChangedFlag()) {
      midi::ResumeClockOrigin();
      state.positionOffset = SeekToMeasure(state.currentMeasure);
      state.songPosition = state.positionOffset;
      ResetCounters();
    } else {
      Rewind();
    }
    midi::SetClockOrigin();
    song::ClearSongChangedFlag();
  }
  Report(Happening::Kind::Position, 1, 1);
  ApplyTempo();
  Report(Happening::Kind::TimeSignature);
  if (starting) StartAtLoop();
  if (starting) BeginCountInIfOn(mode);
  return TakeHappenings();
}

Happenings StopPlayback(StopKind kind) {
  Stop(kind);
  return TakeHappenings();
}

void Stop(StopKind kind) {
  Report(Happening::Kind::RunStopped);
  SilenceAllPorts();
  if (kind == kStopAtEnd) {
    const std::uint8_t stop[] = {kRealTimeStop};
    SendToPort(0, stop, 1);
    state.playState = kStopped;
    midi::MarkClockPause();
    Rewind();
  } else if (state.playState == kPlaying) {
    state.playState = kStopped;
    midi::MarkClockPause();
  }
  Report(Happening::Kind::ModeButtonsUp);
}

void HoldPlayback() {
  SilenceAllPorts();
  midi::HoldSongClock();
}

void ContinuePlayback() { midi::ReleaseSongClock(); }

}  // namespace player
