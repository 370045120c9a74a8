#include "game/main_scene_playback.h"

#include "game/play_mode.h"
#include "midi/timing.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"

namespace game {

static bool haltedAtGuide = false;

bool HaltedAtGuide() { return haltedAtGuide; }
void ClearHaltedAtGuide() { haltedAtGuide = false; }

void RunPlaybackStep() {
  const bool haltsAtGuide = (PlayMode() & 1) != 0;
  if (!haltsAtGuide || player::GuideEnded()) {
    player::AdvancePlayback();
    return;
  }
  if (player::SongPosition() < player::GuideTick()) {
    if (haltedAtGuide) {
      // The player took the note: song time goes on without the wait.
      midi::SkipPausedTime();
      haltedAtGuide = false;
    } else {
      player::AdvancePlayback();
    }
  }
  if (player::SongPosition() >= player::GuideTick() && !haltedAtGuide) {
    midi::MarkClockPause();
    haltedAtGuide = true;
    elSystem::SetWait(1, player::kTimingWindowMs);
  }
}

}  // namespace game
