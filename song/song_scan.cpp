#include "song/song_scan.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "song/song_parts.h"
#include "song/song_store.h"
#include "song/song_text_code_page.h"
#include "song/track_reader.h"

namespace song {

// The scan's results: the measure table and the title.
namespace {
struct State {
  MeasureEntry measureTable[kMeasureTableSize]{};
  char songTitle[kTitleMaxBytes + 1] = " ";
  std::int32_t scannedMeasureCount = 0;
  std::int32_t scannedEndTick = 0;
};
State state;
}  // namespace

// Defaults in force until track 0 says otherwise.
static constexpr std::int32_t kDefaultNumerator = 4;
static constexpr std::int32_t kDefaultDenominator = 4;
static constexpr std::int32_t kDefaultTempo = 120;
// A denominator exponent above 7 (a 128th note) does not fit the table's
// byte; larger ones are taken as 7.
static constexpr int kLargestDenominatorExponent = 7;

void ResetSongScan() {
  state = {};
}

const MeasureEntry& Measure(int index) { return state.measureTable[index]; }
std::int32_t ScannedEndTick() { return state.scannedEndTick; }
const char* SongTitle() { return state.songTitle; }
std::int32_t ScannedMeasureCount() { return state.scannedMeasureCount; }

std::int32_t TicksPerMeasure(std::int32_t division, std::int32_t numerator, std::int32_t denominator) {
  if (denominator <= 0) return 1;
  const std::int64_t ticks = static_cast<std::int64_t>(division) * numerator * 4 / denominator;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(ticks, 1, INT32_MAX));
}

namespace {

// The time signature in force and where it took effect.
struct Signature {
  std::int32_t numerator = kDefaultNumerator;
  std::int32_t denominator = kDefaultDenominator;
  std::int32_t sinceTick = 0;
  std::int32_t sinceMeasure = 0;
};

// The measure number reached at `tick` under the signature in force.
std::int32_t MeasureAt(const Signature& sig, std::int32_t tick) {
  const std::int32_t perMeasure = TicksPerMeasure(Division(), sig.numerator, sig.denominator);
  const std::int64_t measures = sig.sinceMeasure + (static_cast<std::int64_t>(tick) - sig.sinceTick) / perMeasure;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(measures, 0, INT32_MAX - 2));
}

// Fills measures first..last (those below the table size) with the
// signature in force.
void FillMeasures(const Signature& sig, std::int32_t first, std::int32_t last) {
  const std::int32_t perMeasure = TicksPerMeasure(Division(), sig.numerator, sig.denominator);
  for (std::int32_t m = std::max(first, 0); m <= last && m < kMeasureTableSize; ++m) {
    const std::int64_t start = sig.sinceTick + static_cast<std::int64_t>(m - first) * perMeasure;
    state.measureTable[m].startTick = static_cast<std::int32_t>(std::clamp<std::int64_t>(start, INT32_MIN, INT32_MAX));
    state.measureTable[m].numerator = static_cast<std::uint8_t>(sig.numerator);
    state.measureTable[m].denominator = static_cast<std::uint8_t>(sig.denominator);
  }
}

}  // namespace

// The text of the title event at `position` (up to a zero byte, at most
// `maxBytes`, never half of a double-byte character).
static std::string TitleTextAt(std::int32_t position, int maxBytes) {
  std::int32_t dataStart = position + 2;
  const std::int32_t declared = ReadVarLen(dataStart);
  const std::int32_t length = std::clamp(declared, 0, maxBytes);
  std::string text;
  bool leadPending = false;
  for (std::int32_t used = 0; used < length; ++used) {
    const std::uint8_t b = SongByte(dataStart + used);
    if (b == 0) break;
    text.push_back(static_cast<char>(b));
    leadPending = !leadPending && platform::IsDBCSLeadByte(b);
  }
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

void ExtractSongTitle(std::int32_t trackZeroOffset) {
  std::strcpy(state.songTitle, " ");
  std::int32_t position = trackZeroOffset;
  std::int32_t time = 0;
  std::string title;
  bool found = false;
  for (;;) {
    const std::int32_t length = ReadEvent(position, time);
    const std::int32_t type = LastMetaType();
    constexpr int kTagBytes = 2;
    found = (type == kMetaText || type == kMetaTrackName) && TitleFromText(TitleTextAt(position, kTitleMaxBytes + kTagBytes), title);
    if (found) break;
    if (type == kMetaEndOfTrack || time != 0) break;
    position += length;
  }
  // A title cut to its room may end in half of a double-byte character.
  std::size_t whole = 0;
  while (whole < title.size()) whole += platform::IsDBCSLeadByte(static_cast<std::uint8_t>(title[whole])) ? 2 : 1;
  if (whole > title.size()) title.pop_back();
  if (found) std::memcpy(state.songTitle, title.c_str(), title.size() + 1);
  TitleChanged();
}

void ScanSong(std::int32_t trackZeroOffset) {
  platform::SetCursorShape(platform::CursorShape::Wait);
  state.songTitle[0] = '\0';
  ExtractSongTitle(trackZeroOffset);

  // First pass: time signatures and the end of the song.
  Signature sig;
  std::int32_t measureCount = 0;
  std::int32_t endTick = 0;
  std::int32_t position = trackZeroOffset;
  std::int32_t time = 0;
  for (;;) {
    const std::int32_t length = ReadEvent(position, time);
    const std::int32_t type = LastMetaType();
    if (type == kMetaTimeSignature) {
      measureCount = MeasureAt(sig, time);
      FillMeasures(sig, sig.sinceMeasure, measureCount - 1);
      const std::int32_t numerator = SongByte(position + 3);
      const int exponent = std::min<int>(SongByte(position + 4), kLargestDenominatorExponent);
      sig.numerator = numerator == 0 ? kDefaultNumerator : numerator;
      sig.denominator = 1 << exponent;
      sig.sinceTick = time;
      sig.sinceMeasure = measureCount;
    } else if (type == kMetaEndOfTrack) {
      endTick = time;
      break;
    }
    position += length;
  }
  measureCount = MeasureAt(sig, endTick);
  FillMeasures(sig, sig.sinceMeasure, measureCount + 1);
  state.scannedMeasureCount = measureCount;
  state.scannedEndTick = endTick;

  // Second pass: the tempo in force at each measure's first tick.
  std::int32_t m = 0;
  std::int32_t tempo = kDefaultTempo;
  position = trackZeroOffset;
  time = 0;
  for (;;) {
    const std::int32_t length = ReadEvent(position, time);
    const std::int32_t type = LastMetaType();
    if (type == kMetaEndOfTrack) break;
    const std::int32_t microseconds = ReadBigEndian(position + 3, 3);
    // A tempo of 0 microseconds per quarter has no meaning and is ignored.
    if (type == kMetaTempo && microseconds > 0) {
      while (m < kMeasureTableSize - 1 && time > state.measureTable[m].startTick) state.measureTable[m++].tempo = tempo;
      tempo = kMicrosecondsPerMinute / microseconds;
      if (m < kMeasureTableSize - 1 && time == state.measureTable[m].startTick) state.measureTable[m++].tempo = tempo;
    }
    position += length;
  }
  for (std::int32_t i = m; i <= measureCount + 1 && i < kMeasureTableSize; ++i) state.measureTable[i].tempo = tempo;
  FindSongParts();
  DetectSongTextCodePage();
  platform::SetCursorShape(platform::CursorShape::Arrow);
}

}  // namespace song
