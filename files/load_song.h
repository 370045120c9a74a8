// Loading a song the way the user does it (the FILE button, or the song named
// on the command line): the file into the store, then the song's ranking.
#pragma once

#include "files/song_file.h"

namespace files {

// Loads the file at the song path. A song that installs is rewound and marked
// loaded; a failure is told to the user when `reportFailure` is set and
// changes neither.
LoadResult LoadSong(bool reportFailure);

// LoadSong, then, when the song installed, what killed writes of its
// rankings left is removed, the ranking text starts from the default and
// the ranking file derived from the song path is read over it.
// A failed load leaves the previous song's ranking (or none) as it was.
LoadResult LoadSongAndRanking(bool reportFailure);

// The song named on the command line is loaded as the FILE button loads one,
// so it can be played and has its ranking; a failure is said.
LoadResult LoadCommandLineSong(const char* path);

// The ranking text starts from the default and the ranking file of the
// song path and the chosen part is read over it (when another part is
// chosen).
void ReadSongRanking();

}  // namespace files
