// The FILE button: choose a song in the open dialog, load it and its
// ranking.
#pragma once

namespace game {

// Acts on a click on FILE; ignored unless playback is stopped.
void RunFileButton();

}  // namespace game
