// The song scan: after a song is installed, finds where it ends (track 0's
// end), builds its measure map (song/measure_map.h), finds its title, its
// parts and the code page of its text.
#pragma once

#include <cstdint>

#include "song/measure_map.h"

namespace song {

inline constexpr int kTitleMaxBytes = 32;

// Scans the current song; track 0 begins at `trackZeroOffset`. The title
// (and the code page it is drawn in) may change: whoever shows it draws it
// again after a scan.
void ScanSong(std::int32_t trackZeroOffset);

// The current song's title: code-page bytes, zero-terminated, a single
// space when the song has none.
const char* SongTitle();
// The tick of track 0's end in the last scan.
std::int32_t ScannedEndTick();

void ResetSongScan();

}  // namespace song
