// Text in the artwork's own capital-letter font, one glyph at a time, as the
// score screens draw it.
#pragma once

namespace game {

inline constexpr int kCellAdvance = 40;
inline constexpr int kSpaceAdvance = 20;
inline constexpr float kFullBrightness = 10.0f;  // in tenths

// Draws at most `count` characters of `text` (stopping at its end) at
// (x, y). Spacing 0: proportional, each glyph advancing by its width and a
// space by 20. Spacing 1: 40-pixel cells, each glyph centred in its cell.
// Spacing above 1: glyphs centred as in 40-pixel cells, each character
// advancing by the spacing. A character without a glyph draws nothing and
// advances like a space. A count of 0 or less draws nothing. The text
// brightness goes back to full afterwards.
void DrawArtworkText(int x, int y, const char* text, int count, int spacing);
// The brightness of the next string, in tenths (10 is full).
void SetTextBrightness(float tenths);
float TextBrightness();

}  // namespace game
