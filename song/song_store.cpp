#include "song/song_store.h"

#include <algorithm>
#include <cstring>

#include "base/module_state.h"
#include "song/song_scan.h"
#include "song/track_cursor.h"
#include "song/track_reader.h"

namespace song {

// The store's state: the fill offset, where the header and each track
// begin, the song's counts and the two flags; the song buffer itself below.
namespace {
struct State {
  std::int32_t fillOffset = 0;
  std::int32_t headerEntry = 0;
  std::int32_t trackTable[kTrackSlots]{};
  std::int32_t trackCount = 0;
  std::int32_t division = kDefaultDivision;
  bool songErrorFlag = false;
  bool songChangedFlag = false;
  std::uint32_t songEdition = 0;
  // Where the fill offset stood before the chunk now being built was
  // begun, so that a refused chunk can be discarded whole.
  std::int32_t pendingChunkStart = 0;
};
base::ModuleState<State> state;
}  // namespace
// The buffer stays outside the state: `state = {}` would build its 4 MB on
// the stack.
static std::uint8_t songBuffer[kSongBufferSize];

void ResetSongStore() {
  std::memset(songBuffer, 0, sizeof songBuffer);
  state.Reset();
}

std::int32_t FillOffset() { return state.fillOffset; }
std::int32_t TrackCount() { return state.trackCount; }
std::int32_t Division() { return state.division; }
std::int32_t TrackEntry(int slot) { return state.trackTable[slot]; }
bool SongErrorFlag() { return state.songErrorFlag; }
void SetSongErrorFlag() { state.songErrorFlag = true; }
void ClearSongErrorFlag() { state.songErrorFlag = false; }
bool SongChangedFlag() { return state.songChangedFlag; }
void ClearSongChangedFlag() { state.songChangedFlag = false; }
std::uint32_t SongEdition() { return state.songEdition; }

std::uint8_t SongByte(std::int32_t offset) {
  return (offset >= 0 && offset < kSongBufferSize) ? songBuffer[offset] : 0;
}

void PokeSongByte(std::int32_t offset, std::uint8_t value) {
  if (offset >= 0 && offset < kSongBufferSize) songBuffer[offset] = value;
}

const std::uint8_t* UsedSongBytes(std::int32_t offset, std::int32_t length) {
  if (offset < 0 || length < 0 || offset > state.fillOffset - length) return nullptr;
  return songBuffer + offset;
}

std::uint8_t* FreeSpace() { return songBuffer + state.fillOffset; }
std::int32_t FreeSpaceSize() { return kSongBufferSize - state.fillOffset; }

void AppendSongBytes(const std::uint8_t* bytes, std::int32_t length) {
  if (length < 0 || length >= kSongBufferSize - state.fillOffset) {
    state.songErrorFlag = true;
    return;
  }
  std::memmove(songBuffer + state.fillOffset, bytes, static_cast<std::size_t>(length));
  state.fillOffset += length;
}

// Remembers the fill offset before a new chunk's first byte is appended.
static void BeginChunk() { state.pendingChunkStart = state.fillOffset; }

std::int32_t DeleteChunk(std::int32_t d) {
  if (state.songErrorFlag) return 0;
  const std::int32_t n = ReadBigEndian(d - 4, 4);
  // Only a whole chunk of the used part is ever cut.
  if (d < 8 || n < 0 || n > state.fillOffset - d) return 0;
  std::memmove(songBuffer + d - 8, songBuffer + d + n, static_cast<std::size_t>(state.fillOffset - d - n));
  const std::int32_t removed = n + 8;
  if (state.headerEntry > d) state.headerEntry -= removed;
  for (std::int32_t& entry : state.trackTable)
    if (entry > d) entry -= removed;
  state.fillOffset -= removed;
  return removed;
}

void ReplaceTrack(std::int32_t newDataOffset, int slot) {
  const std::int32_t old = state.trackTable[slot];
  state.trackTable[slot] = newDataOffset;
  DeleteChunk(old);
  if (state.songErrorFlag) {
    state.trackTable[slot] = old;
    state.fillOffset = state.pendingChunkStart;
    state.songErrorFlag = false;
  }
  state.songChangedFlag = true;
  ++state.songEdition;
}

void ClearTrack(int trackNumber) {
  if (trackNumber < 1 || trackNumber > kTrackSlots) return;
  if (state.trackCount != 1 && trackNumber == 1) return;
  BeginChunk();
  AppendSongBytes(kEmptyTrackChunk, sizeof kEmptyTrackChunk);
  ReplaceTrack(state.fillOffset - 4, trackNumber - 1);
  if (trackNumber == state.trackCount && trackNumber != 1) state.trackCount = trackNumber - 1;
}

std::int32_t TrackEndTime(int slot) {
  TrackCursor cursor(state.trackTable[slot]);
  for (;;)
    if (const TrackEvent e = cursor.Next(); e.kind == EventKind::End) return e.time;
}

// Ticks from one time to a later one. Track times wrap around like the
// reader's sums, so the distance is taken the same way.
static std::int32_t TicksBetween(std::int32_t from, std::int32_t to) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(to) - static_cast<std::uint32_t>(from));
}

std::int32_t CopyTrackWithEnd(std::int32_t source, std::int32_t endTick) {
  BeginChunk();
  AppendSongBytes(kEmptyTrackChunk, 8);
  const std::int32_t start = state.fillOffset;
  TrackCursor cursor(source);
  std::int32_t lastCopiedTick = 0;
  for (;;) {
    const TrackEvent e = cursor.Next();
    const std::int32_t length = cursor.position() - e.offset;
    // A source without an end-of-track must not walk into the copy itself.
    if (e.kind == EventKind::End || e.offset > start - 8 - length) break;
    WriteVarLen(TicksBetween(lastCopiedTick, e.time));
    // The event lies below the fill offset, which only grows while copying.
    AppendSongBytes(songBuffer + e.offset, length);
    lastCopiedTick = e.time;
  }
  WriteVarLen(TicksBetween(lastCopiedTick, endTick));
  AppendSongBytes(kEndOfTrackEvent, sizeof kEndOfTrackEvent);
  // A refused append leaves no chunk of ours to patch; ReplaceTrack drops it.
  if (!state.songErrorFlag) WriteBigEndian(start - 4, 4, state.fillOffset - start);
  return start;
}

// Makes track 0 end at the latest end of the song's tracks.
static void AlignTrackZeroEnd() {
  const std::int32_t installed = std::min(ReadBigEndian(state.headerEntry + 2, 2), kTrackSlots);
  std::int32_t latestEnd = 0;
  std::int32_t trackZeroEnd = 0;
  for (int slot = 0; slot < installed; ++slot) {
    const std::int32_t end = TrackEndTime(slot);
    latestEnd = std::max(latestEnd, end);
    if (slot == 0) trackZeroEnd = end;
  }
  if (latestEnd != trackZeroEnd) ReplaceTrack(CopyTrackWithEnd(state.trackTable[0], latestEnd), 0);
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
  std::int32_t p = state.fillOffset;
  const std::int32_t imageEnd = p + std::clamp(imageLength, 0, kSongBufferSize - p);
  // A first byte of 0 marks a 128-byte file header: make it a chunk of 120.
  if (imageEnd - p >= 8 && SongByte(p) == 0) WriteBigEndian(p + 4, 4, 120);
  if (state.songErrorFlag) return false;

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

  const std::int32_t oldHeader = state.headerEntry;
  state.headerEntry = p + 8;
  std::int32_t count = std::min(ReadBigEndian(p + 10, 2), kTrackSlots);
  state.division = ReadBigEndian(p + 12, 2);

  // Take the chunks behind the header as tracks, whatever their ids; a file
  // that ends early gives only the tracks it holds.
  std::int32_t saved[kTrackSlots];
  std::int32_t chunkLength = headerLength;
  std::int32_t taken = 0;
  while (taken < count) {
    const std::int32_t next = p + chunkLength + 8;
    const std::int32_t nextLength = ChunkLengthInImage(next, imageEnd);
    if (nextLength < 0) break;
    saved[taken] = state.trackTable[taken];
    p = next;
    chunkLength = nextLength;
    state.trackTable[taken] = p + 8;
    ++taken;
  }
  state.trackCount = taken;
  state.fillOffset = p + chunkLength + 8;

  std::int32_t removed = DeleteChunk(oldHeader);
  for (int i = 0; i < taken; ++i)
    if (saved[i] > oldHeader) saved[i] -= removed;
  for (int i = 0; i < taken; ++i) {
    const std::int32_t cut = saved[i];
    removed = DeleteChunk(cut);
    for (int j = 0; j < taken; ++j)
      if (saved[j] > cut) saved[j] -= removed;
  }
  AlignTrackZeroEnd();
  ++state.songEdition;
  return true;
}

void PrepareSongStore() {
  state.headerEntry = state.fillOffset + 8;
  AppendSongBytes(kEmptyHeaderChunk, sizeof kEmptyHeaderChunk);
  for (std::int32_t& entry : state.trackTable) {
    AppendSongBytes(kEmptyTrackChunk, sizeof kEmptyTrackChunk);
    entry = state.fillOffset - 4;
  }
}

void InstallEmptySong() {
  const std::int32_t remembered = state.fillOffset;
  AppendSongBytes(kEmptyHeaderChunk, sizeof kEmptyHeaderChunk);
  for (int s = 0; s < kTrackSlots; ++s) AppendSongBytes(kEmptyTrackChunk, sizeof kEmptyTrackChunk);
  const std::int32_t imageLength = state.fillOffset - remembered;
  state.fillOffset = remembered;
  InstallSongImage(imageLength);
  ScanSong(state.trackTable[0]);
}

}  // namespace song
