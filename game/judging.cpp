#include "game/judging.h"

#include <cstdint>

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
static int lastVerdict = kVerdictNone;

int NotesPlayed() { return notesPlayed; }
int Misses() { return misses; }
int Score() { return score; }
void SetScore(int value) { score = value; }
int LastVerdict() { return lastVerdict; }
int ShownVerdict() { return shownVerdict; }
void SetShownVerdict(int verdict) { shownVerdict = verdict; }
void ResetJudging() { notesPlayed = misses = score = 0; }
void ResetScore() {
  score = 0;
  shownVerdict = lastVerdict = kVerdictNone;
}

std::int64_t GuideEarlinessMs() {
  const std::int64_t ticks = static_cast<std::int64_t>(player::GuideTick()) - player::SongPosition();
  const std::int64_t division = song::Division() > 0 ? song::Division() : 1;
  return ticks * player::MicrosecondsPerQuarter() / division / 1000;
}

void JudgeTiming() {
  ++notesPlayed;
  int verdict = kVerdictGood;
  if (HaltedAtGuide()) {
    if (midi::IsWaitOver(1)) verdict = kVerdictLate;
  } else if (GuideEarlinessMs() > static_cast<std::int64_t>(player::kTimingWindowMs)) {
    verdict = kVerdictFast;
  }
  if (verdict != kVerdictGood) ++misses;
  lastVerdict = verdict;
  if (verdict != shownVerdict) {
    shownVerdict = verdict;
    DrawVerdictPanel(kVerdictX, kVerdictY, verdict);
  }
  const int hits = notesPlayed - misses;
  score = hits * 1000 / (notesPlayed < kShortRunNotes ? kShortRunDivisor : notesPlayed);
  DrawScore(score);
}

}  // namespace game
