// The playback clock: play state, song position, tempo and the transport.
#pragma once

namespace player {

// Puts every track of the current song at its start.
void RewindSong();

}  // namespace player
