#include "game/panels.h"

#include <string>
#include <string_view>

#include "draw/eldraw.h"
#include "draw/redraw.h"
#include "draw/text.h"
#include "files/song_file.h"
#include "player/playback_clock.h"
#include "scene/scenes.h"
#include "song/song_scan.h"

namespace game {

void PutArtwork(int x, int y, const SourceRect& source) {
  elDraw::Put(x, y, scene::ArtworkObject(), source.left, source.top, source.right, source.bottom);
  draw::RequestRedraw();
}

void RestoreBackground(const SourceRect& area) { PutArtwork(area.left, area.top, area); }

// The file name of a path without its folders and its extension.
static std::string FileStem(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::string(name);
}

// A song without a title (or with one of spaces only) shows its file's
// name, as the file system spells it (UTF-8).
void DrawTitlePanel() {
  RestoreBackground(kTitlePanel);
  const std::string_view title = song::SongTitle();
  if (title.find_first_not_of(' ') != std::string_view::npos || files::SongPath()[0] == '\0')
    draw::DrawCellText(kTitleColumn, kTitleRow, song::SongTitle());
  else
    draw::DrawCellUtf8Text(kTitleColumn, kTitleRow, draw::CutUtf8ToCells(FileStem(files::SongPath()), kTitleCells).c_str());
}

// Draws `digits` glyphs of `value`, lowest digit rightmost. A negative
// value (no counter has one) shows as zeros rather than reaching outside
// the digit images.
static void DrawDigits(int x, int y, int digits, int value, int advance, SourceRect (*glyph)(int)) {
  unsigned rest = value > 0 ? static_cast<unsigned>(value) : 0u;
  for (int i = digits - 1; i >= 0; --i, rest /= 10) PutArtwork(x + advance * i, y, glyph(static_cast<int>(rest % 10)));
}

void DrawSmallNumber(int x, int y, int digits, int value) {
  if (player::PlayState() == player::kPlaying)
    DrawDigits(x, y, digits, value, kSmallDigitAdvance, [](int d) { return SmallDigit(d, true); });
  else
    DrawDigits(x, y, digits, value, kSmallDigitAdvance, [](int d) { return SmallDigit(d, false); });
}

void DrawBigNumber(int x, int y, int digits, int value) { DrawDigits(x, y, digits, value, kBigDigitAdvance, BigDigit); }

void DrawPositionDisplay(int measure, int beat) {
  DrawSmallNumber(kMeasureX, kCounterY, 3, measure);
  DrawSmallNumber(kBeatX, kCounterY, 2, beat);
}

void DrawSignatureDisplay() {
  DrawSmallNumber(kNumeratorX, kCounterY, 2, player::BeatsPerMeasure());
  DrawSmallNumber(kDenominatorX, kCounterY, 2, player::BeatUnit());
}

void DrawTempoDisplay(int beatsPerMinute) { DrawSmallNumber(kTempoX, kCounterY, 3, beatsPerMinute); }

void DrawVerdictPanel(int x, int y, int verdict) {
  if (verdict >= 0 && verdict <= 2) PutArtwork(x, y, Verdict(verdict));
  else RestoreBackground({x, y, x + kVerdictWidth, y + kVerdictHeight});
}

void DrawScore(int score) {
  DrawBigNumber(kScoreX, kScoreY, 3, score / 10);
  DrawBigNumber(kScoreTenthsX, kScoreY, 1, score % 10);
}

}  // namespace game
