// The song store: one fixed buffer that holds the song as Standard MIDI File
// chunks packed without gaps, and the table that says where each of its
// tracks begins.
//
// Chunks are never edited in place. A changed track is appended as a new
// chunk at the fill offset, its slot is pointed at it and the old chunk is
// cut out, which shifts every chunk (and table entry) behind it down.
#pragma once

#include <cstdint>

namespace song {

// Fixed sizes of the store.
inline constexpr std::int32_t kSongBufferSize = 65536 * 64;  // 4,194,304 bytes
inline constexpr int kTrackSlots = 32;
inline constexpr std::int32_t kDefaultDivision = 480;

// The fixed chunk images the store builds with.
inline constexpr std::uint8_t kEmptyHeaderChunk[14] = {0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00,
                                                       0x06, 0x00, 0x00, 0x00, 0x01, 0x01, 0xE0};
inline constexpr std::uint8_t kEmptyTrackChunk[12] = {0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00,
                                                      0x00, 0x04, 0x00, 0xFF, 0x2F, 0x00};
inline constexpr std::uint8_t kEndOfTrackEvent[3] = {0xFF, 0x2F, 0x00};

// --- State, read by the scan, the file loader and the playback engine. ---

std::int32_t FillOffset();
std::int32_t TrackCount();  // tracks of the current song (0 before the first)
std::int32_t Division();    // ticks per quarter note of the current song
std::int32_t TrackEntry(int slot);               // data offset of a track
bool SongErrorFlag();
void SetSongErrorFlag();                         // a failed file read
void ClearSongErrorFlag();                       // a new file load begins
bool SongChangedFlag();
void ClearSongChangedFlag();
// Changes whenever the current song's tracks change (a song installed, a
// track replaced): what is read from the tracks once is read again.
std::uint32_t SongEdition();

// Bounded access to the buffer. A read outside the buffer gives 0 and a
// write outside it is dropped, so no offset a file claims can escape it.
std::uint8_t SongByte(std::int32_t offset);
void PokeSongByte(std::int32_t offset, std::uint8_t value);
// A pointer to `length` bytes at `offset` when they all lie below the fill
// offset, else nullptr.
const std::uint8_t* UsedSongBytes(std::int32_t offset, std::int32_t length);
// The free space at the fill offset where a file image is read to, and its
// size (everything up to the capacity).
std::uint8_t* FreeSpace();
std::int32_t FreeSpaceSize();

// --- Operations. ---

// Appends bytes at the fill offset when fill offset + length stays below the
// capacity; otherwise copies nothing and sets the song error flag.
void AppendSongBytes(const std::uint8_t* bytes, std::int32_t length);

// Cuts out the chunk whose data begins at `dataOffset` and returns the
// number of bytes removed, or 0 when the song error flag is set.
std::int32_t DeleteChunk(std::int32_t dataOffset);

// Points a track slot at a chunk just appended and cuts out the
// chunk it pointed at. After a failed append the new chunk is discarded.
void ReplaceTrack(std::int32_t newDataOffset, int slot);

// Replaces track `trackNumber` (1 to 32) of the song with an empty
// track. Track 1 is cleared only when it is the only track.
void ClearTrack(int trackNumber);

// The tick of the end of a track.
std::int32_t TrackEndTime(int slot);

// Appends a copy of a track that ends exactly at endTick; returns its data
// offset.
std::int32_t CopyTrackWithEnd(std::int32_t sourceDataOffset, std::int32_t endTick);

// Installs the file image of `imageLength` bytes that lies at the fill
// offset as the song. Nothing outside the image is followed.
// Returns false when nothing was installed (error flag set, no header).
bool InstallSongImage(std::int32_t imageLength);

// Lays out an empty header and 32 empty tracks at start-up, before any
// song is loaded.
void PrepareSongStore();

// Installs and scans a song of one empty track (the start without a song
// on the command line).
void InstallEmptySong();

// Back to the state of a freshly started program (tests only).
void ResetSongStore();

}  // namespace song
