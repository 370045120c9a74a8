// The song scan: reads track 0 (the conductor track) of the current song and
// builds the measure table (start tick, time signature and tempo of every
// measure) and finds the song's title.
#pragma once

#include <cstdint>

namespace song {

inline constexpr int kMeasureTableSize = 999;
inline constexpr int kTitleMaxBytes = 32;
// A tempo event gives microseconds per quarter note; this over it gives
// quarter notes per minute, and the other way round.
inline constexpr std::int32_t kMicrosecondsPerMinute = 60000000;

struct MeasureEntry {
  std::int32_t startTick;
  std::uint8_t numerator;
  std::uint8_t denominator;  // the note value itself: 4 for a quarter
  std::int32_t tempo;        // whole quarter notes per minute
};

// Ticks per measure of a time signature at a division, in integer
// arithmetic; never 0, so measure arithmetic never divides by zero.
std::int32_t TicksPerMeasure(std::int32_t division, std::int32_t numerator, std::int32_t denominator);

// Fills the measure table and sets the song title from track 0.
void ScanSong(std::int32_t trackZeroOffset);

// Sets the song title from track 0 (called by ScanSong).
void ExtractSongTitle(std::int32_t trackZeroOffset);

const MeasureEntry& Measure(int index);
// The current song's title: code-page bytes, zero-terminated, a single
// space when the song has none.
const char* SongTitle();
// The measure count of the last scan (filled entries reach two past it).
std::int32_t ScannedMeasureCount();
// The tick of track 0's end in the last scan.
std::int32_t ScannedEndTick();

void ResetSongScan();

// Defined by the main screen (above the song store): the title changed and
// its panel is redrawn.
void TitleChanged();

}  // namespace song
