#include "game/judging.h"

#include <cstdint>

#include "game/panels.h"
#include "game/press_record.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "song/song_store.h"

namespace game {

namespace {
struct State {
  int notesPlayed = 0;
  int misses = 0;
  int score = 0;
  int shownVerdict = kVerdictNone;
  int lastVerdict = kVerdictNone;
};
State state;
}  // namespace

int NotesPlayed() { return state.notesPlayed; }
int Misses() { return state.misses; }
int Score() { return state.score; }
void SetScore(int value) { state.score = value; }
int LastVerdict() { return state.lastVerdict; }
int ShownVerdict() { return state.shownVerdict; }
void SetShownVerdict(int verdict) { state.shownVerdict = verdict; }
void ResetJudging() { state.notesPlayed = state.misses = state.score = 0; }
void ResetJudgingState() { state = {}; }

std::int64_t GuideEarlinessMs() {
  const std::int64_t ticks = static_cast<std::int64_t>(player::GuideTick()) - player::SongPosition();
  const std::int64_t division = song::Division() > 0 ? song::Division() : 1;
  // In the player's milliseconds: at half speed a note is twice as far away.
  return player::SongMsToPlayerMs(ticks * player::MicrosecondsPerQuarter() / division / 1000);
}

int VerdictOfOffset(int offsetMs) {
  constexpr int kWindowMs = static_cast<int>(player::kTimingWindowMs);
  if (offsetMs < -kWindowMs) return kVerdictFast;
  if (offsetMs >= kWindowMs) return kVerdictLate;
  return kVerdictGood;
}

void JudgeTiming() {
  ++state.notesPlayed;
  const int offsetMs = PressOffsetMs();
  const int verdict = VerdictOfOffset(offsetMs);
  if (verdict != kVerdictGood) ++state.misses;
  RecordJudgedPress(offsetMs, verdict);
  state.lastVerdict = verdict;
  if (verdict != state.shownVerdict) {
    state.shownVerdict = verdict;
    DrawVerdictPanel(kVerdictX, kVerdictY, verdict);
  }
  const int hits = state.notesPlayed - state.misses;
  state.score = hits * 1000 / (state.notesPlayed < kShortRunNotes ? kShortRunDivisor : state.notesPlayed);
  DrawScore(state.score);
}

}  // namespace game
