#include "game/judging.h"

#include <cstdint>

#include "draw/redraw.h"
#include "game/main_scene_playback.h"
#include "game/panels.h"
#include "midi/timing.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "song/song_store.h"

namespace game {

static int notesPlayed = 0;
static int misses = 0;
static int score = 0;
static int shownVerdict = kVerdictNone;

int NotesPlayed() { return notesPlayed; }
int Misses() { return misses; }
int Score() { return score; }
int ShownVerdict() { return shownVerdict; }
void SetShownVerdict(int verdict) { shownVerdict = verdict; }
void ResetJudging() { notesPlayed = misses = 0; }

// How many whole milliseconds before the guide note the press came.
static std::int64_t EarlinessMs() {
  const std::int64_t ticks = static_cast<std::int64_t>(player::GuideTick()) - player::SongPosition();
  const std::int64_t division = song::Division() > 0 ? song::Division() : 1;
  return ticks * player::MicrosecondsPerQuarter() / division / 1000;
}

void JudgeTiming() {
  ++notesPlayed;
  int verdict = kVerdictGood;
  if (HaltedAtGuide()) {
    if (midi::IsWaitOver(1)) verdict = kVerdictLate;
  } else if (EarlinessMs() > static_cast<std::int64_t>(player::kTimingWindowMs)) {
    verdict = kVerdictFast;
  }
  if (verdict != kVerdictGood) ++misses;
  if (verdict != shownVerdict) {
    shownVerdict = verdict;
    DrawVerdictPanel(kVerdictX, kVerdictY, verdict);
  }
  const int hits = notesPlayed - misses;
  score = hits * 1000 / (notesPlayed < kShortRunNotes ? kShortRunDivisor : notesPlayed);
  DrawBigNumber(kScoreX, kScoreY, 3, score / 10);
  DrawBigNumber(kScoreTenthsX, kScoreY, 1, score % 10);
  draw::RequestRedraw();
}

}  // namespace game
