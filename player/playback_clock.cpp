#include "player/playback_clock.h"

namespace player {

// The playback engine places its tracks here; until it exists there is
// nothing to rewind.
void RewindSong() {}

}  // namespace player
