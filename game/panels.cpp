#include "game/panels.h"

#include "draw/eldraw.h"
#include "draw/redraw.h"
#include "draw/text.h"
#include "player/playback_clock.h"
#include "scene/scenes.h"
#include "song/song_scan.h"

namespace game {

void PutArtwork(int x, int y, const SourceRect& source) {
  elDraw::Put(x, y, scene::ArtworkObject(), source.left, source.top, source.right, source.bottom);
  draw::RequestRedraw();
}

void RestoreBackground(const SourceRect& area) { PutArtwork(area.left, area.top, area); }

void DrawTitlePanel() {
  RestoreBackground(kTitlePanel);
  draw::DrawCellText(kTitleColumn, kTitleRow, song::SongTitle());
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

namespace song {

void TitleChanged() { game::DrawTitlePanel(); }

}  // namespace song
