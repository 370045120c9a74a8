#include "game/part_over.h"

#include "base/module_state.h"
#include "game/engine_events.h"
#include "game/lyric_bar.h"
#include "game/main_command.h"
#include "platform/virtual_keys.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "scene/input.h"

namespace game {

// The state of the key that ends the game.
namespace {
struct State {
  int spaceKeyState = 0;
};
base::ModuleState<State> state;
}  // namespace

static bool PartOverInGame() {
  return player::RunMode() == player::PlayMode::Game && player::PlayState() == player::kPlaying && player::GuideOver();
}

void RunPartOverNotice() {
  scene::ReadKeyState(platform::vk::kSpace, state.spaceKeyState);
  if (!PartOverInGame()) return;
  if (!LyricBarNoticeHeld()) HoldLyricBarNotice(report::InPlayersLanguage(kPartOverNotice));
  if (state.spaceKeyState == scene::kKeyPressed) ShowHappenings(player::StopPlayback(player::kStopAtEnd));
}

}  // namespace game
