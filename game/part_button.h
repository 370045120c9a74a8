// The PART button: while stopped, each click chooses the song's next part
// (after the last, the first again) as the one TRAINING and GAME guide and
// RANK ranks; the button's face shows the chosen part's number and the
// part's name shows in the lyric bar for a moment.
#pragma once

#include <cstdint>
#include <string>

namespace game {

inline constexpr std::uint32_t kPartNameShownMs = 3000;

// The click on the PART button (the row acts only while stopped).
void RunPartButton();
// "PART 2" for the second part; "PART" for a song without parts.
std::string PartButtonFaceText();
// The text the lyric bar shows for the chosen part: "PART 2/3: Violin"
// (song-text bytes); empty for a song without parts.
std::string ChosenPartLabel();
// Once per frame of the main scene: the name goes once its moment is over.
void RunPartNameDisplay();
// The name goes now (a run starts and the lyric bar is the lyrics').
void HidePartName();

void ResetPartButton();

}  // namespace game
