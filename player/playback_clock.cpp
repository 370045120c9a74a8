#include "player/playback_clock.h"

#include <algorithm>

#include "midi/timing.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/screen_hooks.h"
#include "song/song_scan.h"
#include "song/song_store.h"

namespace player {

// The clock's state: transport, position, tempo and signature in force, the
// anchor the position is measured from, and the counters on the screen.
static int playState = kStopped;
static std::int32_t songPosition = 0;
static int tempo = 120;
static std::int32_t microsecondsPerQuarter = 500000;
static int beatsPerMeasure = 4;
static int beatUnit = 4;
static std::int32_t tickBase = 0;
static std::int32_t accumulatedMs = 0;
static std::int32_t lastElapsed = 0;
static std::int32_t positionOffset = 0;
static std::int32_t measureBaseTick = 0;
static int baseMeasure = 0;
static std::int32_t quarterCount = 0;
static std::int32_t shownQuarterCount = 0;
static int currentMeasure = 0;

static constexpr std::int32_t kMicrosecondsPerMinute = 60000000;

void ResetPlaybackClock() {
  playState = kStopped;
  songPosition = 0;
  tempo = 120;
  microsecondsPerQuarter = 500000;
  beatsPerMeasure = beatUnit = 4;
  tickBase = accumulatedMs = lastElapsed = positionOffset = 0;
  measureBaseTick = 0;
  baseMeasure = currentMeasure = 0;
  quarterCount = shownQuarterCount = 0;
}

int PlayState() { return playState; }
std::int32_t SongPosition() { return songPosition; }
void SetSongPosition(std::int32_t position) { songPosition = position; }
int Tempo() { return tempo; }
void SetTempo(int beatsPerMinute) { tempo = beatsPerMinute; }
std::int32_t MicrosecondsPerQuarter() { return microsecondsPerQuarter; }
int BeatsPerMeasure() { return beatsPerMeasure; }
int BeatUnit() { return beatUnit; }
int CurrentMeasure() { return currentMeasure; }
std::int32_t QuarterCount() { return quarterCount; }
void SetMeasureBase(std::int32_t tick, int measure) {
  measureBaseTick = tick;
  baseMeasure = measure;
}

// From here on the tempo in force applies to the time that follows; the
// song position itself does not move.
static void Reanchor() {
  tickBase = songPosition;
  accumulatedMs = lastElapsed = positionOffset = 0;
  midi::SetClockOrigin();
}

void ReanchorAt(std::int32_t position) {
  midi::SetClockOrigin();
  lastElapsed = accumulatedMs = 0;
  positionOffset = position - tickBase;
}

static void ResetCounters() {
  lastElapsed = accumulatedMs = tickBase = 0;
  quarterCount = shownQuarterCount = 0;
  baseMeasure = currentMeasure;
}

int AdvancePlayback() {
  if (playState != kPlaying) return 0;
  const auto elapsed = static_cast<std::int32_t>(midi::SongClockMs());
  if (elapsed > lastElapsed) {
    accumulatedMs += elapsed - lastElapsed;
    lastElapsed = elapsed;
    const std::int64_t msPerQuarter = microsecondsPerQuarter / 1000;  // truncated first, as the counters expect
    const std::int64_t elapsedTicks = static_cast<std::int64_t>(song::Division()) * accumulatedMs / msPerQuarter;
    songPosition = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        tickBase + elapsedTicks + positionOffset, INT32_MIN, INT32_MAX));
  }
  bool changed = false;
  const std::int32_t division = std::max(song::Division(), 1);  // a division of 0 counts no quarters
  quarterCount = (songPosition - measureBaseTick) / division;
  if (quarterCount != shownQuarterCount) {
    shownQuarterCount = quarterCount;
    currentMeasure = quarterCount / beatsPerMeasure + baseMeasure;
    changed = true;
  }
  DispatchDueEvents();
  if (changed) ShowPosition(currentMeasure + 1, quarterCount % beatsPerMeasure + 1);
  return changed ? 1 : 0;
}

void ApplyTempo() {
  tempo = std::clamp(tempo, kMinTempo, kMaxTempo);
  microsecondsPerQuarter = kMicrosecondsPerMinute / tempo;
  Reanchor();
  ShowTempo(tempo);
}

void ApplyTimeSignature(std::uint8_t numerator, std::uint8_t denominatorPower) {
  Reanchor();
  beatsPerMeasure = numerator == 0 ? 4 : numerator;
  beatUnit = 1 << (denominatorPower % 32 > 30 ? 30 : denominatorPower % 32);
  ShowTimeSignature();
}

std::int32_t SeekToMeasure(int measure) {
  const song::MeasureEntry& entry = song::Measure(std::clamp(measure, 0, song::kMeasureTableSize - 1));
  beatsPerMeasure = entry.numerator == 0 ? 4 : entry.numerator;
  beatUnit = entry.denominator;
  tempo = entry.tempo;
  ApplyTempo();
  ShowTimeSignature();
  return entry.startTick;
}

void RewindSong() {
  RewindTracks();
  midi::ResumeClockOrigin();
  songPosition = measureBaseTick = 0;
  currentMeasure = 0;
  positionOffset = SeekToMeasure(0);
  ResetCounters();
  ShowPosition(1, 1);
  ApplyTempo();
  ShowTimeSignature();
}

int StartPlayback() {
  // This also clears a halt at a guide note left over from a run stopped
  // while it waited: the new run's clock must not stand still.
  RunStarting();
  if (playState == kStopped) {
    LyricBarRestarts();
    BeginGuideTrack();
    playState = kPlaying;
    if (song::SongChangedFlag()) {
      midi::ResumeClockOrigin();
      positionOffset = SeekToMeasure(currentMeasure);
      songPosition = measureBaseTick = positionOffset;
      ResetCounters();
    } else {
      RewindSong();
    }
    midi::SetClockOrigin();
    song::ClearSongChangedFlag();
  }
  ShowPosition(1, 1);
  ApplyTempo();
  ShowTimeSignature();
  return 0;
}

int StopPlayback(int kind) {
  RunStopped();
  SilenceAllPorts();
  if (kind == kStopAtEnd) {
    const std::uint8_t stop[] = {kRealTimeStop};
    SendEventMessage(stop, 1);
    playState = kStopped;
    midi::MarkClockPause();
    RewindSong();
  } else if (playState == kPlaying) {
    playState = kStopped;
    midi::MarkClockPause();
  }
  ModeButtonsReleased();
  return 0;
}

void HoldPlayback() {
  SilenceAllPorts();
  midi::HoldSongClock();
}

void ContinuePlayback() { midi::ReleaseSongClock(); }

}  // namespace player

namespace song {

void RewindPlayback() { player::RewindSong(); }

}  // namespace song
