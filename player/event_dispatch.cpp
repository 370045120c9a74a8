#include "player/event_dispatch.h"

namespace player {

// The playback engine fills in the note tables; until then there is nothing
// sounding to forget.
void ClearNoteTables() {}

}  // namespace player
