// The PART button: while stopped, a click chooses the song's next part
// (after the last, the first again), a right click or a click with Shift
// held the one before (before the first, the last), as the part TRAINING
// and GAME guide and RANK ranks. The button's face shows the chosen part's
// number; while the song is stopped the lyric bar shows its number, name
// and notes.
#pragma once

#include <string>

namespace game {

enum class PartStep { Next, Previous };

// A click on the PART button (the row acts only while stopped).
void RunPartButton(PartStep step);
// Once per frame of the main scene: a right click on PART while stopped
// chooses the part before.
void RunPartRightClick();
// "PART 2" for the second part; "PART" for a song without parts.
std::string PartButtonFaceText();
// What the lyric bar shows of the chosen part, UTF-8 in the player's
// language: "PART 2/3: Violin (24 notes)", the name cut to the bar; empty
// for a song without parts.
std::string ChosenPartLabel();
// "PART 2/3: Violin" (UTF-8) for the score screens, the name cut so the
// whole takes at most `cells` half-width cells; empty without parts.
std::string ChosenPartTitle(int cells);
// Once per frame of the main scene: while the song is stopped the lyric
// bar shows the chosen part's label (or, at a first start, the hint about
// the notes ahead until a run starts).
void RunPartLabel();
// The label goes now (a run starts and the lyric bar is the lyrics').
void HidePartName();

}  // namespace game
