// What the main screen draws and resets for what the playback engine
// reports (player/happenings.h).
#pragma once

#include "player/happenings.h"

namespace game {

// Shows each happening in the order it happened.
void ShowHappenings(const player::Happenings& happenings);

}  // namespace game
