#include "song_run.h"

#include "game/engine_events.h"
#include "game/judging.h"
#include "game/main_command.h"
#include "platform/testing/testing.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "player/run_step.h"

namespace fuzz {

std::uint32_t PlaySongRun(player::PlayMode playMode, std::uint32_t frameMs) {
  namespace pt = platform::testing;
  pt::SetTime(0);
  game::ShowHappenings(player::RewindSong());
  game::ShowHappenings(player::StartPlayback(playMode));
  std::uint32_t now = 0;
  while (now + frameMs <= kLongestRunMs && player::PlayState() == player::kPlaying) {
    now += frameMs;
    pt::SetTime(now);
    game::ShowHappenings(player::AdvancePlayback());
    if (player::HaltedAtGuide() && player::IsGuidePerformed()) {
      // The player's key, as the computer-keyboard piano sends it.
      game::JudgeTiming(platform::TimeMs());
      const int note = player::TakeGuideNote(60).note;
      const std::uint8_t on[] = {0x90, static_cast<std::uint8_t>(note & 0x7F), player::GuideVelocity()};
      player::SendToPort(0, on, 3);
    }
    pt::ClearMidiLog();  // the log would otherwise grow for an hour
  }
  game::ShowHappenings(player::StopPlayback(player::kStopByUser));
  game::ShowHappenings(player::RewindSong());
  return now;
}

}  // namespace fuzz
