#include "game/main_scene_playback.h"

#include "game/play_mode.h"
#include "midi/timing.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"

namespace game {

namespace {
struct State {
  bool haltedAtGuide = false;
};
State state;
}  // namespace

bool HaltedAtGuide() { return state.haltedAtGuide; }
void ClearHaltedAtGuide() { state.haltedAtGuide = false; }
void ResetMainScenePlayback() { state = {}; }

bool WaitingForPlayer() {
  return state.haltedAtGuide && player::PlayState() == player::kPlaying && !player::GuideEnded() &&
         player::SongPosition() >= player::GuideTick();
}

void RunPlaybackStep() {
  const bool followsGuide = (PlayMode() & kHaltsAtGuide) != 0 && !player::GuideEnded();
  if (state.haltedAtGuide && (!followsGuide || player::SongPosition() < player::GuideTick())) {
    // The player took the note (or the guide ended with it): song time goes
    // on without the wait, from the next frame.
    midi::SkipPausedTime();
    state.haltedAtGuide = false;
    return;
  }
  if (!followsGuide) {
    player::AdvancePlayback();
    return;
  }
  if (player::SongPosition() < player::GuideTick()) player::AdvancePlayback();
  if (player::SongPosition() >= player::GuideTick() && !state.haltedAtGuide) {
    midi::MarkClockPause();  // a press's offset counts from here
    state.haltedAtGuide = true;
  }
}

}  // namespace game
