// The artwork built into the program: every picture has its size, every
// rectangle the program copies from holds drawn pixels, and the transition
// tiles grow as they should.
#include <gtest/gtest.h>

#include "draw/bmp.h"
#include "draw/embedded_assets.h"
#include "game/artwork_layout.h"

namespace {

using game::SourceRect;

draw::Bitmap Picture(const char* name) {
  draw::Bitmap bitmap;
  EXPECT_TRUE(draw::DecodeBmp(draw::FindEmbeddedAsset(name), bitmap)) << name;
  return bitmap;
}

// Pixels other than black, the colour key, inside a rectangle.
int DrawnPixels(const draw::Bitmap& b, SourceRect r) {
  int drawn = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) drawn += b.rgb[static_cast<std::size_t>(y * b.width + x)] != 0 ? 1 : 0;
  return drawn;
}

TEST(Artwork, EveryPictureHasItsSize) {
  const auto basc = Picture("BASC");
  EXPECT_EQ(basc.width, game::kArtworkWidth);
  EXPECT_EQ(basc.height, game::kArtworkHeight);
  const auto tiles = Picture("MASKBMP");
  EXPECT_EQ(tiles.width, game::kTileStripWidth);
  EXPECT_EQ(tiles.height, game::kTileStripHeight);
  const auto pointers = Picture("CUR");
  EXPECT_EQ(pointers.width, game::kPointerStripWidth);
  EXPECT_EQ(pointers.height, game::kPointerStripHeight);
  EXPECT_EQ(Picture("MAIN").width, 32);
}

TEST(Artwork, EverySourceRectangleHoldsAPicture) {
  const auto basc = Picture("BASC");
  std::vector<std::pair<std::string, SourceRect>> rects;
  for (int d = 0; d < 10; ++d) {
    rects.push_back({"bright digit " + std::to_string(d), game::SmallDigit(d, true)});
    rects.push_back({"dim digit " + std::to_string(d), game::SmallDigit(d, false)});
    rects.push_back({"big digit " + std::to_string(d), game::BigDigit(d)});
  }
  for (int v = 0; v < 3; ++v) rects.push_back({"verdict " + std::to_string(v), game::Verdict(v)});
  for (int s = 0; s < 4; ++s) {
    rects.push_back({"white upper " + std::to_string(s), game::WhiteKeyUpper(s)});
    rects.push_back({"white lower " + std::to_string(s), game::WhiteKeyLower(s)});
    rects.push_back({"black key " + std::to_string(s), game::BlackKey(s)});
  }
  for (int n = 0; n < 26; ++n)
    rects.push_back({std::string("letter ") + static_cast<char>('A' + n),
                     {game::kFontLetterBounds[n], game::kFontLetterRow, game::kFontLetterBounds[n + 1], game::kFontLetterRow + 30}});
  for (int n = 0; n < 10; ++n)
    rects.push_back({"font digit " + std::to_string(n),
                     {game::kFontDigitBounds[n], game::kFontDigitRow, game::kFontDigitBounds[n + 1], game::kFontDigitRow + 30}});
  for (int n = 0; n < 6; ++n)
    rects.push_back({"font mark " + std::to_string(n),
                     {game::kFontMarkBounds[n], game::kFontDigitRow, game::kFontMarkBounds[n + 1], game::kFontDigitRow + 30}});
  rects.push_back({"full stop", game::kFontStop});
  for (const auto& [name, r] : rects) {
    const int area = (r.right - r.left) * (r.bottom - r.top);
    const int drawn = DrawnPixels(basc, r);
    EXPECT_GT(drawn, 0) << name;
    // Key looks, digits and verdicts are opaque pictures; glyphs lie on black.
    if (r.top < game::kFontLetterRow) {
      EXPECT_EQ(drawn, area) << name << " must be opaque";
    }
  }
}

TEST(Artwork, GlyphsStayInsideTheirBoundaries) {
  const auto basc = Picture("BASC");
  // Every column of the letter row belongs to some glyph; the glyphs' ink
  // never crosses into the neighbour: a boundary column next to a narrow
  // glyph (I, J) is not shared by two glyphs.
  for (int n = 0; n < 26; ++n) {
    const SourceRect r{game::kFontLetterBounds[n], game::kFontLetterRow, game::kFontLetterBounds[n + 1], game::kFontLetterRow + 30};
    EXPECT_EQ(DrawnPixels(basc, {r.left, r.top, r.left + 1, r.bottom}), 0) << "left edge of " << static_cast<char>('A' + n);
  }
}

TEST(Artwork, TransitionTilesGrowToCoverTheTile) {
  const auto tiles = Picture("MASKBMP");
  int previous = 0;
  for (int k = 0; k < 10; ++k) {
    int covered = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) {
        const std::uint32_t p = tiles.rgb[static_cast<std::size_t>(y * 640 + 64 * k + x)];
        EXPECT_TRUE(p == 0 || p == 0x0A0A0A) << "black or near-black only";
        covered += p != 0 ? 1 : 0;
      }
    EXPECT_GT(covered, previous) << k;
    previous = covered;
    if (k == 0) {
      EXPECT_EQ(covered, 48);
    }
    if (k == 9) {
      EXPECT_EQ(covered, 64 * 48);
    }
  }
}

}  // namespace
