// Reading a Standard MIDI File from disk into the song store, and the song
// path and loaded flag that go with the current song.
#pragma once

#include <cstdint>

#include "report/report.h"

namespace files {

// The song path buffer holds 260 bytes and a terminator.
inline constexpr int kSongPathSize = 261;

// Takes a path for the next LoadSongFile. A path that does not fit the
// buffer is refused (returns false) and the song path stays as it was.
bool SetSongPath(const char* path);
const char* SongPath();

// What became of a load. Every result but Installed is a failure the user is
// told about (see ReportLoadFailure).
enum class LoadResult {
  Installed,    // read, installed and scanned
  NotOpened,    // not opened, or not a regular file (its error number is kept for the report)
  TooShort,     // shorter than the smallest song (24 bytes or fewer)
  TooLarge,     // larger than the free space of the song buffer
  ReadFailed,   // reading or closing the file failed
  NoHeader,     // read whole, but no header chunk: not a Standard MIDI File
};

// Whether a load scanned the store (whose title, then, is to be drawn again).
inline bool LoadScannedSong(LoadResult result) {
  return result == LoadResult::Installed || result == LoadResult::NoHeader;
}

// What a failed load is called: the message the player reads, and the
// phrase a command-line tool prints after the path.
struct LoadFailureText {
  report::PlayerText message;
  const char* afterPath;
};
// The text of a failed load; nullptr for Installed.
const LoadFailureText* LoadFailureTextOf(LoadResult result);

// Loads the file named by the song path into the song store: clears the
// current song, reads the file into the free space, installs and scans it.
// A file that is too short, too large or unreadable sets the song error
// flag; one that cannot be opened leaves the flag untouched.
LoadResult LoadSongFile();

// Tells the user why a load failed (Japanese or English by the system
// language), naming the path. Does nothing for Installed.
void ReportLoadFailure(LoadResult result);

// 1 once a song has been loaded successfully; the play buttons refuse to
// start before. Nothing clears it.
bool SongLoaded();
void SetSongLoaded();

void ResetSongFile();

}  // namespace files
