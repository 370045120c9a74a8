// Event dispatch: sends every due event of every track to the MIDI ports and
// keeps the tables of sounding notes and held sustain pedals.
#pragma once

namespace player {

// Empties the tables of sounding notes and held pedals.
void ClearNoteTables();

}  // namespace player
