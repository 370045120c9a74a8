#include "game/part_over.h"

#include "game/engine_events.h"
#include "game/lyric_bar.h"
#include "game/main_command.h"
#include "platform/virtual_keys.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "scene/input.h"

namespace game {

static bool PartOverInGame() {
  return player::RunMode() == player::PlayMode::Game && player::PlayState() == player::kPlaying && player::GuideOver();
}

void RunPartOverNotice() {
  if (!PartOverInGame()) return;
  if (!LyricBarNoticeHeld() && !TimedLyricBarNoticeShown()) HoldLyricBarNotice(report::InPlayersLanguage(kPartOverNotice));
  if (scene::KeyWentDown(platform::vk::kSpace)) ShowHappenings(player::StopPlayback(player::kStopAtEnd));
}

}  // namespace game
