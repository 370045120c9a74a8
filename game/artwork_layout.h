// Where the pictures lie in the artwork object "BASC" (640 x 787): the main
// screen's background in its top 640 x 480, and below it the digits, the
// verdict words, the key looks and the capital-letter font. The same table
// is kept in tools/make_artwork.py, which draws the artwork.
#pragma once

namespace game {

struct SourceRect {
  int left, top, right, bottom;
};

inline constexpr int kArtworkWidth = 640;
inline constexpr int kArtworkHeight = 787;
inline constexpr int kTileStripWidth = 640;
inline constexpr int kTileStripHeight = 48;
inline constexpr int kPointerStripWidth = 96;
inline constexpr int kPointerStripHeight = 32;

inline constexpr SourceRect kScreenBackground{0, 0, 640, 480};
inline constexpr SourceRect kTitlePanel{15, 94, 625, 112};
inline constexpr SourceRect kLyricBar{15, 224, 625, 240};

// Small digit d, bright (playing) and dim (stopped): 14 x 20.
constexpr SourceRect SmallDigit(int d, bool bright) {
  const int x = (bright ? 289 : 429) + 14 * d;
  return {x, 480, x + 14, 500};
}
// Big digit d: 28 x 40.
constexpr SourceRect BigDigit(int d) { return {289 + 28 * d, 500, 317 + 28 * d, 540}; }
// Verdict v (0 Good, 1 LATE, 2 FAST): 112 x 40.
constexpr SourceRect Verdict(int v) { return {289 + 112 * v, 540, 401 + 112 * v, 580}; }
// Key looks s: 0 up, 1 lit, 2 lit an octave below, 3 lit an octave above.
constexpr SourceRect WhiteKeyUpper(int s) { return {52 * s, 480, 52 * s + 52, 616}; }
constexpr SourceRect WhiteKeyLower(int s) { return {52 * s, 616, 52 * s + 52, 688}; }
constexpr SourceRect BlackKey(int s) { return {208 + 20 * s, 480, 227 + 20 * s, 616}; }

// The capital-letter font, 30 pixels high: glyph n runs between boundaries.
inline constexpr int kFontLetterRow = 688;
inline constexpr int kFontDigitRow = 718;
inline constexpr int kFontStopRow = 748;
inline constexpr int kFontHeight = 30;
inline constexpr int kFontLetterBounds[27] = {0,   25,  47,  73,  98,  121, 142, 169, 193, 207, 229, 255, 274, 301,
                                              325, 353, 374, 401, 423, 443, 463, 487, 516, 552, 584, 614, 639};
inline constexpr int kFontDigitBounds[11] = {0, 26, 40, 65, 86, 108, 130, 151, 171, 192, 212};
// ':' ';' '<' '=' '>' '?' on the digit row.
inline constexpr int kFontMarkBounds[7] = {212, 299, 309, 335, 361, 386, 411};
inline constexpr SourceRect kFontStop{105, 748, 121, 778};

}  // namespace game
