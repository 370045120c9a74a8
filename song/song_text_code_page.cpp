#include "song/song_text_code_page.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "song/song_scan.h"
#include "song/song_store.h"
#include "song/track_cursor.h"
#include "song/track_reader.h"

namespace song {

static bool IsTrail(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
// Punctuation and symbols (0x81), hiragana and full-width letters (0x82),
// katakana (0x83): Japanese text always has some, while Western text whose
// accented letters happen to pair up as Shift-JIS ("Mädchen", "Don’t")
// gives only rarer kanji.
static bool IsKanaOrPunctuation(std::uint8_t lead) { return lead >= 0x81 && lead <= 0x83; }

ShiftJisReading ReadAsShiftJis(std::string_view text, bool mayBeCut) {
  ShiftJisReading reading;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<std::uint8_t>(text[i]);
    if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) continue;  // ASCII, half-width katakana
    if (!platform::IsLeadByteIn(platform::CodePage::Cp932, b)) {
      reading.valid = false;
      return reading;
    }
    if (i + 1 == text.size()) {
      reading.valid = mayBeCut;
      return reading;
    }
    if (!IsTrail(static_cast<std::uint8_t>(text[i + 1]))) {
      reading.valid = false;
      return reading;
    }
    if (IsKanaOrPunctuation(b)) reading.japanese = true;
    ++i;
  }
  return reading;
}

// Adds a piece of text to what the song's text reads as so far.
static void Take(ShiftJisReading& song, std::string_view text, bool mayBeCut) {
  const ShiftJisReading piece = ReadAsShiftJis(text, mayBeCut);
  song.valid = song.valid && piece.valid;
  song.japanese = song.japanese || piece.japanese;
}

// The lyric events of every track of the current song.
static void TakeLyrics(ShiftJisReading& song) {
  for (int slot = 0; slot < TrackCount() && slot < kTrackSlots && song.valid; ++slot) {
    TrackCursor cursor = TrackCursor::AtTrack(slot);
    for (TrackEvent e = cursor.Next(); e.kind != EventKind::End; e = cursor.Next())
      if (e.kind == EventKind::Meta && e.metaType == kMetaLyric) Take(song, MetaText(e, SIZE_MAX), false);
  }
}

void DetectSongTextCodePage() {
  ShiftJisReading song;
  const char* title = SongTitle();
  Take(song, std::string_view(title, std::strlen(title)), true);
  TakeLyrics(song);
  platform::SetSongTextIsShiftJis(song.valid && song.japanese);
}

}  // namespace song
