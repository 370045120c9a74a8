#include "game/judging.h"

#include <cstdint>
#include <cstdlib>

#include "base/module_state.h"
#include "game/press_record.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "player/run_step.h"
#include "song/song_store.h"

namespace game {

// The counts, the last verdict, and the first judged key of the chord the
// guide stands on: when it went down, its offset and its verdict.
namespace {
struct State {
  int notesPlayed = 0;
  int misses = 0;
  int score = 0;
  int lastVerdict = kVerdictNone;
  std::uint32_t chordKeyMoment = 0;
  int chordOffsetMs = 0;
  int chordVerdict = kVerdictNone;
};
base::ModuleState<State> state;
}  // namespace

// A chord's keys that go down within this long of its first count with it.
static constexpr std::int32_t kChordKeysSpreadMs = 150;

int NotesPlayed() { return state.notesPlayed; }
int Misses() { return state.misses; }
int Score() { return state.score; }
void SetScore(int value) { state.score = value; }
int LastVerdict() { return state.lastVerdict; }
void ResetJudging() { state.notesPlayed = state.misses = state.score = 0; }
std::int64_t GuideEarlinessMs() {
  const std::int64_t ticks = static_cast<std::int64_t>(player::GuideTick()) - player::SongPosition();
  const std::int64_t division = song::Division() > 0 ? song::Division() : 1;
  // In the player's milliseconds: at half speed a note is twice as far away.
  // A count-in still under way lies before the song.
  return player::SongMsToPlayerMs(ticks * player::MicrosecondsPerQuarter() / division / 1000) +
         player::CountInRemainingMs();
}

int VerdictOfOffset(int offsetMs) {
  constexpr int kWindowMs = static_cast<int>(player::kTimingWindowMs);
  if (offsetMs < -kWindowMs) return kVerdictFast;
  if (offsetMs >= kWindowMs) return kVerdictLate;
  return kVerdictGood;
}

Judgement JudgeTiming(std::uint32_t pressMs, int heardLaterMs) {
  ++state.notesPlayed;
  // A key of a chord whose first key went down just before counts with
  // it: the keys of a chord cannot always go down together (another
  // octave key), and a strum spreads them.
  const std::uint32_t moment = pressMs;
  const auto sinceChordKey = static_cast<std::int32_t>(moment - state.chordKeyMoment);
  int offsetMs = state.chordOffsetMs, verdict = state.chordVerdict;
  if (!player::GuideChordBegun() || std::abs(sinceChordKey) > kChordKeysSpreadMs) {
    offsetMs = PressOffsetMs(pressMs) - heardLaterMs;
    verdict = VerdictOfOffset(offsetMs);
    if (!player::GuideChordBegun()) {
      state.chordKeyMoment = moment;
      state.chordOffsetMs = offsetMs;
      state.chordVerdict = verdict;
    }
  }
  if (verdict != kVerdictGood) ++state.misses;
  RecordJudgedPress(offsetMs, verdict);
  state.lastVerdict = verdict;
  const int hits = state.notesPlayed - state.misses;
  state.score = hits * 1000 / (state.notesPlayed < kShortRunNotes ? kShortRunDivisor : state.notesPlayed);
  return {verdict, offsetMs, state.score};
}

}  // namespace game
