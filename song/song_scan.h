// The song scan: after a song is installed, finds where it ends (track 0's
// end), builds its measure map (song/measure_map.h), finds its title, its
// parts and the code page of its text.
#pragma once

#include <cstdint>

#include "song/measure_map.h"

namespace song {

inline constexpr int kTitleMaxBytes = 32;

// Scans the current song; track 0 begins at `trackZeroOffset`.
void ScanSong(std::int32_t trackZeroOffset);

// Sets the song title from track 0 (called by ScanSong).
void ExtractSongTitle(std::int32_t trackZeroOffset);

// The current song's title: code-page bytes, zero-terminated, a single
// space when the song has none.
const char* SongTitle();
// The tick of track 0's end in the last scan.
std::int32_t ScannedEndTick();

void ResetSongScan();

// Defined by the main screen (above the song store): the title changed and
// its panel is redrawn.
void TitleChanged();

}  // namespace song
