#include "app/module_reset.h"

#include "base/module_state.h"
#include "files/ranking.h"
#include "midi/midi_out.h"
#include "midi/timing.h"
#include "song/song_store.h"

namespace app {

// Every module state is registered by its declaration: none can be left
// out. What a default state cannot hold is done around the reset.
void ResetAllModules() {
  midi::CloseMidiOutPorts();  // the ports' handles are in the state reset next
  base::ResetAllModuleStates();
  song::ResetSongStore();     // the song buffer lies outside the store's state
  midi::InitTimingServices(); // the waits unarmed, the frame stamp from the clock
  files::ResetRanking();      // the scores read from the default table
}

}  // namespace app
