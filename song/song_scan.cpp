#include "song/song_scan.h"

#include <algorithm>
#include <cstring>

#include "platform/platform.h"
#include "song/song_parts.h"
#include "song/song_store.h"
#include "song/song_text_code_page.h"
#include "song/track_reader.h"

namespace song {

// The scan's results: the title and where track 0 ends.
namespace {
struct State {
  char songTitle[kTitleMaxBytes + 1] = " ";
  std::int32_t scannedEndTick = 0;
};
State state;
}  // namespace

void ResetSongScan() {
  state = {};
}

std::int32_t ScannedEndTick() { return state.scannedEndTick; }
const char* SongTitle() { return state.songTitle; }

void ExtractSongTitle(std::int32_t trackZeroOffset) {
  std::strcpy(state.songTitle, " ");
  std::int32_t position = trackZeroOffset;
  std::int32_t time = 0;
  bool found = false;
  for (;;) {
    const std::int32_t length = ReadEvent(position, time);
    const std::int32_t type = LastMetaType();
    if (type == kMetaText || type == kMetaTrackName) {
      found = true;
      break;
    }
    if (type == kMetaEndOfTrack || time != 0) break;
    position += length;
  }
  if (!found) return;

  std::int32_t dataStart = position + 2;
  const std::int32_t declared = ReadVarLen(dataStart);
  const std::int32_t length = std::clamp(declared, 0, kTitleMaxBytes);
  char text[kTitleMaxBytes + 1] = {};
  std::int32_t used = 0;
  bool leadPending = false;
  for (; used < length; ++used) {
    const std::uint8_t b = SongByte(dataStart + used);
    if (b == 0) break;
    text[used] = static_cast<char>(b);
    leadPending = !leadPending && platform::IsDBCSLeadByte(b);
  }
  if (leadPending) --used;  // never keep half of a double-byte character
  text[used] = '\0';
  std::memcpy(state.songTitle, text, sizeof state.songTitle);
  TitleChanged();
}

// The tick of the end-of-track of the track at `offset`.
static std::int32_t EndTickOf(std::int32_t offset) {
  std::int32_t position = offset;
  std::int32_t time = 0;
  for (;;) {
    const std::int32_t length = ReadEvent(position, time);
    if (LastMetaType() == kMetaEndOfTrack) return time;
    position += length;
  }
}

void ScanSong(std::int32_t trackZeroOffset) {
  platform::SetCursorShape(platform::CursorShape::Wait);
  state.songTitle[0] = '\0';
  ExtractSongTitle(trackZeroOffset);
  state.scannedEndTick = EndTickOf(trackZeroOffset);
  BuildMeasureMap(state.scannedEndTick);
  FindSongParts();
  DetectSongTextCodePage();
  platform::SetCursorShape(platform::CursorShape::Arrow);
}

}  // namespace song
