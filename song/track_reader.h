// Byte-level rules of track data: variable-length quantities, big-endian
// numbers and message lengths, and the two writers that build chunks at the
// fill offset. Every walk over a track steps with a track cursor
// (song/track_cursor.h).
#pragma once

#include <cstdint>

namespace song {

// Meta types of the events the walkers look at.
inline constexpr std::int32_t kMetaText = 1;
inline constexpr std::int32_t kMetaTrackName = 3;
inline constexpr std::int32_t kMetaLyric = 5;
inline constexpr std::int32_t kMetaPortPrefix = 0x21;
inline constexpr std::int32_t kMetaEndOfTrack = 47;
inline constexpr std::int32_t kMetaTempo = 81;
inline constexpr std::int32_t kMetaTimeSignature = 88;

// Reads a variable-length quantity at `position` and leaves the position
// just past it. A quantity that runs into the end of the used data stops
// there.
std::int32_t ReadVarLen(std::int32_t& position);

// The big-endian number of `count` (1 to 4) bytes at `offset`.
std::int32_t ReadBigEndian(std::int32_t offset, int count);

// Writes the low `count` bytes of value at offset, most significant first.
void WriteBigEndian(std::int32_t offset, int count, std::int32_t value);

// Appends the variable-length form of value (not negative) at the fill
// offset, under the same capacity rule as AppendSongBytes.
void WriteVarLen(std::int32_t value);

// 2 for C0h..DFh, 3 for every other status.
std::int32_t ChannelMessageLength(std::int32_t status);

}  // namespace song
