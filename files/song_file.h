// Reading a Standard MIDI File from disk into the song store.
#pragma once

#include <cstdint>

namespace files {

// The song path buffer holds 260 bytes and a terminator.
inline constexpr int kSongPathSize = 261;

// Takes a path for the next LoadSongFile. A path that does not fit the
// buffer is refused (returns false) and the song path becomes empty.
bool SetSongPath(const char* path);
const char* SongPath();

enum class LoadResult { Installed, NotOpened, Refused, NoHeader };

// Loads the file named by the song path into the current bank: clears the
// current song, reads the file into the free space, installs and scans it.
// Afterwards the song error flag tells whether it failed; a file that cannot
// be opened leaves the flag untouched. The result says what happened, for
// callers that tell the user.
LoadResult LoadSongFile();

void ResetSongFile();

}  // namespace files
