#include "song/song_scan.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "base/module_state.h"
#include "platform/platform.h"
#include "song/song_parts.h"
#include "song/song_store.h"
#include "song/song_text_code_page.h"
#include "song/track_cursor.h"
#include "song/track_reader.h"

namespace song {

// The scan's results: the title and where track 0 ends.
namespace {
struct State {
  char songTitle[kTitleMaxBytes + 1] = " ";
  std::int32_t scannedEndTick = 0;
};
base::ModuleState<State> state;
}  // namespace

void ResetSongScan() {
  state.Reset();
}

std::int32_t ScannedEndTick() { return state.scannedEndTick; }
const char* SongTitle() { return state.songTitle; }

// The text of a title event (up to a zero byte, at most `maxBytes`, never
// half of a double-byte character).
static std::string TitleTextOf(const TrackEvent& event, std::size_t maxBytes) {
  std::string text = MetaText(event, maxBytes);
  text.resize(std::min(text.size(), text.find('\0')));
  bool leadPending = false;
  for (char c : text) leadPending = !leadPending && platform::IsDBCSLeadByte(static_cast<std::uint8_t>(c));
  if (leadPending) text.pop_back();
  return text;
}

// A karaoke file's header lines begin with '@' and a letter: "@T" tags its
// title (the tag is no part of it); the others (@K, @V, @I, @L, @W) are no
// title, and the search goes on past them. False for such a line.
static bool TitleFromText(std::string text, std::string& title) {
  constexpr std::string_view kHeaderTags = "KVILW";
  if (text.size() >= 2 && text[0] == '@' && text[1] == 'T') text.erase(0, 2);
  else if (text.size() >= 2 && text[0] == '@' && kHeaderTags.find(text[1]) != std::string_view::npos) return false;
  title = text.substr(0, kTitleMaxBytes);
  return true;
}

// Sets the song title from track 0.
static void ExtractSongTitle(std::int32_t trackZeroOffset) {
  std::strcpy(state.songTitle, " ");
  TrackCursor cursor(trackZeroOffset);
  std::string title;
  bool found = false;
  for (;;) {
    const TrackEvent e = cursor.Next();
    constexpr int kTagBytes = 2;
    found = e.kind == EventKind::Meta && (e.metaType == kMetaText || e.metaType == kMetaTrackName) &&
            TitleFromText(TitleTextOf(e, kTitleMaxBytes + kTagBytes), title);
    if (found || e.kind == EventKind::End || e.time != 0) break;
  }
  // A title cut to its room may end in half of a double-byte character.
  std::size_t whole = 0;
  while (whole < title.size()) whole += platform::IsDBCSLeadByte(static_cast<std::uint8_t>(title[whole])) ? 2 : 1;
  if (whole > title.size()) title.pop_back();
  if (found) std::memcpy(state.songTitle, title.c_str(), title.size() + 1);
}

// The tick of the end-of-track of the track at `offset`.
static std::int32_t EndTickOf(std::int32_t offset) {
  TrackCursor cursor(offset);
  for (;;)
    if (const TrackEvent e = cursor.Next(); e.kind == EventKind::End) return e.time;
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
