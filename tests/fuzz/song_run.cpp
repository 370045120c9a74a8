#include "song_run.h"

#include "game/judging.h"
#include "game/main_scene_playback.h"
#include "game/play_mode.h"
#include "platform/testing/testing.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"

namespace fuzz {

std::uint32_t PlaySongRun(int playMode, std::uint32_t frameMs) {
  namespace pt = platform::testing;
  pt::SetTime(0);
  game::SetPlayMode(playMode);
  player::RewindSong();
  player::StartPlayback();
  std::uint32_t now = 0;
  while (now + frameMs <= kLongestRunMs && player::PlayState() == player::kPlaying) {
    now += frameMs;
    pt::SetTime(now);
    game::RunPlaybackStep();
    if (game::HaltedAtGuide() && player::IsGuidePerformed() == 1) {
      // The player's key, as the computer-keyboard piano sends it.
      game::JudgeTiming(platform::TimeMs());
      const int note = player::TakeGuideNote(60);
      const std::uint8_t on[] = {0x90, static_cast<std::uint8_t>(note & 0x7F), player::GuideVelocity()};
      player::SendToPort(0, on, 3);
    }
    pt::ClearMidiLog();  // the log would otherwise grow for an hour
  }
  player::StopPlayback(player::kStopByUser);
  player::RewindSong();
  return now;
}

}  // namespace fuzz
