// The FILE button: choose a song in the open dialog, load it and its
// ranking; and the same load for a song sent by a second copy.
#pragma once

namespace game {

// Acts on a click on FILE; ignored unless playback is stopped.
void RunFileButton();

// Once per frame of the main scene: a song a second copy of the game was
// asked to open is loaded as a chosen one is. A run is stopped first (a
// game whose guide was played to its end then goes to its score screens),
// and the song loads on the next frame the main screen is stopped.
void OpenSongOfSecondCopy();

}  // namespace game
