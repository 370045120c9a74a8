#include "game/part_over.h"

#include "game/lyric_bar.h"
#include "game/play_mode.h"
#include "platform/virtual_keys.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "scene/input.h"

namespace game {

static bool PartOverInGame() {
  const int guide = player::GuideNote();
  return PlayMode() == kPlayModeGame && player::PlayState() == player::kPlaying &&
         (guide == player::kGuideEnded || guide == player::kGuideEndNoticed);
}

void RunPartOverNotice() {
  if (!PartOverInGame()) return;
  if (!LyricBarNoticeHeld()) HoldLyricBarNotice(report::InPlayersLanguage(kPartOverNotice));
  if (scene::KeyWentDown(platform::vk::kSpace)) player::StopPlayback(player::kStopAtEnd);
}

}  // namespace game
