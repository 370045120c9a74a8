#include "song/song_store.h"

#include <algorithm>
#include <cstring>

#include "song/song_scan.h"
#include "song/track_reader.h"

namespace song {

// The store's state: the buffer, its fill offset, the two tables, the current
// song's counts and the two flags.
static std::uint8_t songBuffer[kSongBufferSize];
static std::int32_t fillOffset = 0;
static std::int32_t bankTable[kBankCount];
static std::int32_t trackTable[kBankCount][kTrackSlots];
static std::int32_t trackCount = 0;
static std::int32_t division = kDefaultDivision;
static bool songErrorFlag = false;
static bool songChangedFlag = false;
// Where the fill offset stood before the chunk now being built was begun, so
// that a refused chunk can be discarded whole.
static std::int32_t pendingChunkStart = 0;

void ResetSongStore() {
  std::memset(songBuffer, 0, sizeof songBuffer);
  fillOffset = 0;
  std::memset(bankTable, 0, sizeof bankTable);
  std::memset(trackTable, 0, sizeof trackTable);
  trackCount = 0;
  division = kDefaultDivision;
  songErrorFlag = false;
  songChangedFlag = false;
  pendingChunkStart = 0;
}

std::int32_t FillOffset() { return fillOffset; }
std::int32_t TrackCount() { return trackCount; }
std::int32_t Division() { return division; }
std::int32_t BankEntry(int bank) { return bankTable[bank]; }
std::int32_t TrackEntry(int bank, int slot) { return trackTable[bank][slot]; }
bool SongErrorFlag() { return songErrorFlag; }
void SetSongErrorFlag() { songErrorFlag = true; }
void ClearSongErrorFlag() { songErrorFlag = false; }
bool SongChangedFlag() { return songChangedFlag; }
void ClearSongChangedFlag() { songChangedFlag = false; }

std::uint8_t SongByte(std::int32_t offset) {
  return (offset >= 0 && offset < kSongBufferSize) ? songBuffer[offset] : 0;
}

void PokeSongByte(std::int32_t offset, std::uint8_t value) {
  if (offset >= 0 && offset < kSongBufferSize) songBuffer[offset] = value;
}

const std::uint8_t* UsedSongBytes(std::int32_t offset, std::int32_t length) {
  if (offset < 0 || length < 0 || offset > fillOffset - length) return nullptr;
  return songBuffer + offset;
}

std::uint8_t* FreeSpace() { return songBuffer + fillOffset; }
std::int32_t FreeSpaceSize() { return kSongBufferSize - fillOffset; }

void AppendSongBytes(const std::uint8_t* bytes, std::int32_t length) {
  if (length < 0 || length >= kSongBufferSize - fillOffset) {
    songErrorFlag = true;
    return;
  }
  std::memmove(songBuffer + fillOffset, bytes, static_cast<std::size_t>(length));
  fillOffset += length;
}

// Remembers the fill offset before a new chunk's first byte is appended.
static void BeginChunk() { pendingChunkStart = fillOffset; }

std::int32_t DeleteChunk(std::int32_t d) {
  if (songErrorFlag) return 0;
  const std::int32_t n = ReadBigEndian(d - 4, 4);
  // Only a whole chunk of the used part is ever cut.
  if (d < 8 || n < 0 || n > fillOffset - d) return 0;
  std::memmove(songBuffer + d - 8, songBuffer + d + n, static_cast<std::size_t>(fillOffset - d - n));
  const std::int32_t removed = n + 8;
  for (int b = 0; b < kBankCount; ++b) {
    if (bankTable[b] > d) bankTable[b] -= removed;
    for (int s = 0; s < kTrackSlots; ++s)
      if (trackTable[b][s] > d) trackTable[b][s] -= removed;
  }
  fillOffset -= removed;
  return removed;
}

void ReplaceTrack(std::int32_t newDataOffset, int slot) {
  const std::int32_t old = trackTable[kCurrentBank][slot];
  trackTable[kCurrentBank][slot] = newDataOffset;
  DeleteChunk(old);
  if (songErrorFlag) {
    trackTable[kCurrentBank][slot] = old;
    fillOffset = pendingChunkStart;
    songErrorFlag = false;
  }
  songChangedFlag = true;
}

void ClearTrack(int trackNumber) {
  if (trackNumber < 1 || trackNumber > kTrackSlots) return;
  if (trackCount != 1 && trackNumber == 1) return;
  BeginChunk();
  AppendSongBytes(kEmptyTrackChunk, sizeof kEmptyTrackChunk);
  ReplaceTrack(fillOffset - 4, trackNumber - 1);
  if (trackNumber == trackCount && trackNumber != 1) trackCount = trackNumber - 1;
}

std::int32_t TrackEndTime(int bank, int slot) {
  std::int32_t position = trackTable[bank][slot];
  std::int32_t time = 0;
  for (;;) {
    const std::int32_t length = ReadEvent(position, time);
    if (LastMetaType() == kMetaEndOfTrack) return time;
    position += length;
  }
}

// Ticks from one time to a later one. Track times wrap around like the
// reader's sums, so the distance is taken the same way.
static std::int32_t TicksBetween(std::int32_t from, std::int32_t to) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(to) - static_cast<std::uint32_t>(from));
}

std::int32_t CopyTrackWithEnd(std::int32_t source, std::int32_t endTick) {
  BeginChunk();
  AppendSongBytes(kEmptyTrackChunk, 8);
  const std::int32_t start = fillOffset;
  std::int32_t position = source;
  std::int32_t time = 0;
  std::int32_t lastCopiedTick = 0;
  for (;;) {
    const std::int32_t length = ReadEvent(position, time);
    // A source without an end-of-track must not walk into the copy itself.
    if (LastMetaType() == kMetaEndOfTrack || position > start - 8 - length) break;
    WriteVarLen(TicksBetween(lastCopiedTick, time));
    // The event lies below the fill offset, which only grows while copying.
    AppendSongBytes(songBuffer + position, length);
    lastCopiedTick = time;
    position += length;
  }
  WriteVarLen(TicksBetween(lastCopiedTick, endTick));
  AppendSongBytes(kEndOfTrackEvent, sizeof kEndOfTrackEvent);
  // A refused append leaves no chunk of ours to patch; ReplaceTrack drops it.
  if (!songErrorFlag) WriteBigEndian(start - 4, 4, fillOffset - start);
  return start;
}

void AlignTrackZeroEnd(int bank) {
  const std::int32_t installed = std::min(ReadBigEndian(bankTable[bank] + 2, 2), kTrackSlots);
  std::int32_t latestEnd = 0;
  std::int32_t trackZeroEnd = 0;
  for (int slot = 0; slot < installed; ++slot) {
    const std::int32_t end = TrackEndTime(bank, slot);
    latestEnd = std::max(latestEnd, end);
    if (slot == 0) trackZeroEnd = end;
  }
  if (latestEnd != trackZeroEnd) ReplaceTrack(CopyTrackWithEnd(trackTable[bank][0], latestEnd), 0);
}

// The length of the chunk at `p` of an image ending at `imageEnd`, or -1
// when the chunk's header does not lie in the image. A length that claims
// more than the image holds is cut to what is there.
static std::int32_t ChunkLengthInImage(std::int32_t p, std::int32_t imageEnd) {
  if (p < 0 || p > imageEnd - 8) return -1;
  const std::int32_t claimed = ReadBigEndian(p + 4, 4);
  const std::int32_t available = imageEnd - p - 8;
  if (claimed < 0 || claimed > available) {
    WriteBigEndian(p + 4, 4, available);
    return available;
  }
  return claimed;
}

bool InstallSongImage(std::int32_t imageLength) {
  std::int32_t p = fillOffset;
  const std::int32_t imageEnd = p + std::clamp(imageLength, 0, kSongBufferSize - p);
  // A first byte of 0 marks a 128-byte file header: make it a chunk of 120.
  if (imageEnd - p >= 8 && SongByte(p) == 0) WriteBigEndian(p + 4, 4, 120);
  if (songErrorFlag) return false;

  // Find the header chunk, stepping over any other chunk whole. A chunk
  // that claims more than the image holds means there is no header.
  for (;;) {
    if (p < 0 || p > imageEnd - 8) return false;
    if (std::memcmp(songBuffer + p, "MThd", 4) == 0) break;
    const std::int32_t length = ReadBigEndian(p + 4, 4);
    if (length < 0 || length > imageEnd - p - 8) return false;
    p += length + 8;
  }
  const std::int32_t headerLength = ReadBigEndian(p + 4, 4);
  if (headerLength < 6 || headerLength > imageEnd - p - 8) return false;

  const std::int32_t oldHeader = bankTable[kCurrentBank];
  bankTable[kCurrentBank] = p + 8;
  std::int32_t count = std::min(ReadBigEndian(p + 10, 2), kTrackSlots);
  division = ReadBigEndian(p + 12, 2);

  // Take the chunks behind the header as tracks, whatever their ids; a file
  // that ends early gives only the tracks it holds.
  std::int32_t saved[kTrackSlots];
  std::int32_t chunkLength = headerLength;
  std::int32_t taken = 0;
  while (taken < count) {
    const std::int32_t next = p + chunkLength + 8;
    const std::int32_t nextLength = ChunkLengthInImage(next, imageEnd);
    if (nextLength < 0) break;
    saved[taken] = trackTable[kCurrentBank][taken];
    p = next;
    chunkLength = nextLength;
    trackTable[kCurrentBank][taken] = p + 8;
    ++taken;
  }
  trackCount = taken;
  fillOffset = p + chunkLength + 8;

  std::int32_t removed = DeleteChunk(oldHeader);
  for (int i = 0; i < taken; ++i)
    if (saved[i] > oldHeader) saved[i] -= removed;
  for (int i = 0; i < taken; ++i) {
    const std::int32_t cut = saved[i];
    removed = DeleteChunk(cut);
    for (int j = 0; j < taken; ++j)
      if (saved[j] > cut) saved[j] -= removed;
  }
  AlignTrackZeroEnd(kCurrentBank);
  return true;
}

void PrepareSongBanks(const char* commandLinePath) {
  ClearPlaybackNotes();
  for (int b = 0; b < kBankCount; ++b) {
    bankTable[b] = fillOffset + 8;
    AppendSongBytes(kEmptyHeaderChunk, sizeof kEmptyHeaderChunk);
    for (int s = 0; s < kTrackSlots; ++s) {
      AppendSongBytes(kEmptyTrackChunk, sizeof kEmptyTrackChunk);
      trackTable[b][s] = fillOffset - 4;
    }
  }
  if (commandLinePath != nullptr && commandLinePath[0] != '\0') {
    LoadCommandLineSong(commandLinePath);
  } else {
    const std::int32_t remembered = fillOffset;
    AppendSongBytes(kEmptyHeaderChunk, sizeof kEmptyHeaderChunk);
    for (int s = 0; s < kTrackSlots; ++s) AppendSongBytes(kEmptyTrackChunk, sizeof kEmptyTrackChunk);
    const std::int32_t imageLength = fillOffset - remembered;
    fillOffset = remembered;
    InstallSongImage(imageLength);
    ScanSong(trackTable[kCurrentBank][0]);
  }
  RewindPlayback();
}

}  // namespace song
