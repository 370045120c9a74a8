#include "game/artwork_text.h"

#include "base/module_state.h"
#include "draw/bright_copy.h"
#include "draw/eldraw.h"
#include "game/artwork_layout.h"
#include "scene/scenes.h"

namespace game {

// The brightness of the string being drawn, in tenths.
namespace {
struct State {
  float textBrightness = kFullBrightness;
};
base::ModuleState<State> state;
}  // namespace

void SetTextBrightness(float tenths) { state.textBrightness = tenths; }
float TextBrightness() { return state.textBrightness; }
namespace {

struct Glyph {
  bool exists;
  SourceRect source;  // an empty rectangle draws nothing
};

Glyph GlyphOf(char c) {
  if (c >= 'A' && c <= 'Z') {
    const int n = c - 'A';
    return {true, {kFontLetterBounds[n], kFontLetterRow, kFontLetterBounds[n + 1], kFontLetterRow + kFontHeight}};
  }
  if (c >= '0' && c <= '9') {
    const int n = c - '0';
    return {true, {kFontDigitBounds[n], kFontDigitRow, kFontDigitBounds[n + 1], kFontDigitRow + kFontHeight}};
  }
  if (c >= ':' && c <= '?') {
    const int n = c - ':';
    return {true, {kFontMarkBounds[n], kFontDigitRow, kFontMarkBounds[n + 1], kFontDigitRow + kFontHeight}};
  }
  if (c == '.') return {true, kFontStop};
  // The comma, the hyphen and the slash have glyphs of no width.
  if (c == ',' || c == '-' || c == '/') return {true, {0, kFontDigitRow, 0, kFontDigitRow + kFontHeight}};
  return {false, {}};
}

void DrawGlyph(int x, int y, const SourceRect& r) {
  if (r.right <= r.left) return;
  if (state.textBrightness == kFullBrightness)
    elDraw::PutKeyed(x, y, scene::ArtworkObject(), r.left, r.top, r.right, r.bottom);
  else
    draw::DrawBrightCopy(x, y, state.textBrightness / kFullBrightness, scene::ArtworkObject(), r.left, r.top, r.right, r.bottom);
}

}  // namespace

void DrawArtworkText(int x, int y, const char* text, int count, int spacing) {
  for (int i = 0; i < count && text[i] != '\0'; ++i) {
    const Glyph glyph = GlyphOf(text[i]);
    const int width = glyph.source.right - glyph.source.left;
    if (spacing == 0) {
      if (glyph.exists) DrawGlyph(x, y, glyph.source);
      x += glyph.exists ? width : kSpaceAdvance;
    } else {
      if (glyph.exists) DrawGlyph(x + (kCellAdvance - width) / 2, y, glyph.source);
      x += spacing == 1 ? kCellAdvance : spacing;
    }
  }
  state.textBrightness = kFullBrightness;
}

}  // namespace game
