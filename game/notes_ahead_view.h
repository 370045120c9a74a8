// The notes ahead on the main screen: with the view on (the settings'
// View::NotesAhead) the upper part of the piano area is a lane where the
// chosen part's notes fall onto their keys (game/notes_ahead_lane.h). The
// next note or chord to play stands out, a note played takes its verdict's
// colour, and a measure's start is a faint line across the lane.
#pragma once

namespace game {

// Each main-screen frame, once the song has moved: draws the lane when
// what it shows changed (so nothing at rest), and redraws the piano area
// when the view was switched on or off.
void ShowNotesAhead();
// A press took `note` of the guide's chord with this verdict: its bar
// takes the verdict's colour. Called before the guide moves on.
void MarkNoteAhead(int note, int verdict);

}  // namespace game
