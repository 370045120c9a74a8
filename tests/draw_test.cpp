// The elDraw module on in-memory surfaces: set-up, objects, clipped and
// keyed copies, bevels, restoration and text.
#include <gtest/gtest.h>

#include "draw/eldraw.h"
#include "draw/redraw.h"
#include "draw/text.h"
#include "platform/testing/testing.h"
#include "smf_builder.h"

namespace {

namespace pt = platform::testing;
using draw::Pixel;

constexpr Pixel kWhite565 = 0xFFFF;
constexpr Pixel kGrey565 = draw::ColorRefToPixel(0x7F7F7F);
constexpr Pixel kSilver565 = draw::RgbToPixel(0xC0C0C0);

using platform::testing::WriteBmp;

class Draw : public ::testing::Test {
 protected:
  void SetUp() override {
    pt::Reset();
    draw::ResetDraw();
    draw::ClearRedrawRequest();
    draw::SetFullScreenFlag(false);
    programDir = test::WriteTempFile({}, "unused");
    programDir = programDir.substr(0, programDir.find_last_of('/'));
    pt::SetProgramDirectory(programDir);
    ASSERT_EQ(elDraw::Screen(640, 480), 1);
  }
  void TearDown() override { elDraw::Release(); }

  // A 64 x 8 picture whose column x has red x * 4 (never black).
  int LoadColumns() {
    WriteBmp(programDir + "/COLUMNS", 64, 8, [](int x, int) { return static_cast<std::uint32_t>(x * 4 + 4) << 16; });
    return elDraw::LoadObject("COLUMNS");
  }
  static Pixel Column(int x) { return draw::RgbToPixel(static_cast<std::uint32_t>(x * 4 + 4) << 16); }
  static Pixel At(int x, int y) { return draw::BackScreen().At(x, y); }

  std::string programDir;
};

TEST_F(Draw, SetUpMakesTheBackScreenAndInternalObjects) {
  EXPECT_EQ(draw::BackScreen().width, 640);
  EXPECT_STREQ(draw::Object(0).name, "内部用１");
  EXPECT_STREQ(draw::Object(3).name, "内部用４");
  EXPECT_EQ(draw::Object(4).name[0], '\0');
  const draw::PixelFormat& f = draw::ScreenPixelFormat();
  EXPECT_EQ(f.red.shift, 11);
  EXPECT_EQ(f.green.shift, 5);
  EXPECT_EQ(f.blue.shift, 0);
  EXPECT_EQ(f.red.maximum, 31u);
  EXPECT_EQ(f.green.maximum, 63u);
  EXPECT_EQ(f.blue.maximum, 31u);
}

TEST_F(Draw, SetUpFailureIsReported) {
  elDraw::Release();
  pt::SetPresentationFails(true);
  EXPECT_EQ(elDraw::Screen(640, 480), 0);
  ASSERT_EQ(pt::Boxes().size(), 1u);
  EXPECT_EQ(pt::Boxes()[0].text, "elDraw::Screen : frames cannot be shown on this display");
}

TEST_F(Draw, PutClipsRightEdgeThenLeft) {
  const int columns = LoadColumns();
  ASSERT_GE(columns, 4);
  elDraw::Put(-10, 0, columns, 0, 0, 64, 8);
  EXPECT_EQ(At(0, 0), Column(10));
  EXPECT_EQ(At(53, 0), Column(63));
  EXPECT_EQ(At(54, 0), 0);
  elDraw::Put(600, 10, columns, 0, 0, 64, 8);
  EXPECT_EQ(At(600, 10), Column(0));
  EXPECT_EQ(At(639, 10), Column(39));
  const auto before = draw::BackScreen().pixels;
  elDraw::Put(-100, 20, columns, 0, 0, 64, 8);
  EXPECT_EQ(draw::BackScreen().pixels, before) << "wholly left of the screen: nothing drawn";
}

TEST_F(Draw, PutKeyedSkipsTheColourKey) {
  WriteBmp(programDir + "/KEYED", 4, 1, [](int x, int) { return x % 2 ? 0x00FF00u : 0u; });
  elDraw::SetKeyColor(0);
  const int keyed = elDraw::LoadObject("KEYED");
  draw::BackScreen().At(0, 0) = 0x1234;
  elDraw::PutKeyed(0, 0, keyed, 0, 0, 4, 1);
  EXPECT_EQ(At(0, 0), 0x1234) << "black is the key";
  EXPECT_EQ(At(1, 0), draw::RgbToPixel(0x00FF00));
  elDraw::Put(0, 0, keyed, 0, 0, 4, 1);
  EXPECT_EQ(At(0, 0), 0) << "Put ignores the key";
}

TEST_F(Draw, RaisedBevelOfAButton) {
  elDraw::Bevel(10, 180, 72, 210, elDraw::kBevelRaised);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(At(40, 180 + i), kWhite565) << i;
    EXPECT_EQ(At(10 + i, 195), kWhite565) << i;
    EXPECT_EQ(At(40, 209 - i), kGrey565) << i;
    EXPECT_EQ(At(71 - i, 195), kGrey565) << i;
  }
  EXPECT_EQ(At(40, 183), 0);
  EXPECT_EQ(At(40, 206), 0);
  EXPECT_EQ(At(72, 195), 0) << "the outline lies inside the rectangle";
  EXPECT_TRUE(draw::RedrawRequested());
}

TEST_F(Draw, LinesFollowGdiRules) {
  elDraw::Line(0, 5, 10, 5, 0xFFFFFF, 1);
  EXPECT_EQ(At(9, 5), kWhite565);
  EXPECT_EQ(At(10, 5), 0) << "the end point is not drawn";
  elDraw::Line(20, 20, 30, 20, 0xFFFFFF, 3);
  EXPECT_EQ(At(25, 19), kWhite565);
  EXPECT_EQ(At(25, 21), kWhite565);
}

TEST_F(Draw, ReleaseBoxBeforePressBoxDrawsNothing) {
  const auto before = draw::BackScreen().pixels;
  draw::ReleaseBox();
  EXPECT_EQ(draw::BackScreen().pixels, before);
  draw::PressBox(10, 180, 72, 210);
  EXPECT_EQ(At(40, 180), kGrey565) << "pressed: sunken";
  draw::ReleaseBox();
  EXPECT_EQ(At(40, 180), kWhite565) << "released: raised";
}

TEST_F(Draw, ColorToPixelLeavesTheTopLeftPixel) {
  draw::Surface& s = draw::BackScreen();
  s.At(0, 0) = 0x4321;
  EXPECT_EQ(draw::ColorToPixel(s, 0x000000), 0u);
  EXPECT_EQ(draw::ColorToPixel(s, 0xFFFFFF), 0xFFFFu);
  EXPECT_EQ(draw::ColorToPixel(s, 0xFFFFFFFFu), 0x4321u);
  EXPECT_EQ(s.At(0, 0), 0x4321);
}

TEST_F(Draw, NamesOfThirtyCharactersAndNoMore) {
  const std::string thirty(30, 'n');
  WriteBmp(programDir + "/" + thirty, 1, 1, [](int, int) { return 0xFFFFFFu; });
  EXPECT_EQ(elDraw::LoadObject(thirty.c_str()), 4);
  EXPECT_EQ(elDraw::LoadObject((thirty + "n").c_str()), 0);
  EXPECT_EQ(pt::Boxes().back().text, "elDraw::LoadObject : the file or picture name is too long");
  EXPECT_EQ(draw::Object(5).name[0], '\0') << "refused before any entry was taken";
}

TEST_F(Draw, TheTableHoldsTenTwentyObjects) {
  WriteBmp(programDir + "/DOT", 1, 1, [](int, int) { return 0xFFFFFFu; });
  for (int i = 0; i < 1020; ++i) ASSERT_EQ(elDraw::LoadObject("DOT"), 4 + i);
  EXPECT_EQ(elDraw::LoadObject("DOT"), 0);
  EXPECT_EQ(pt::Boxes().back().text, "elDraw::LoadObject : too many pictures are loaded");
}

TEST_F(Draw, MissingBitmapIsReportedAndItsEntryFreed) {
  EXPECT_EQ(elDraw::LoadObject("NOSUCH"), 0);
  EXPECT_EQ(pt::Boxes().back().text, "elDraw::LoadObject : the BMP picture cannot be read");
  EXPECT_EQ(draw::Object(4).name[0], '\0');
}

TEST_F(Draw, FileBesideTheProgramWinsOverTheBuiltInBitmap) {
  const int builtIn = elDraw::LoadObject("MASKBMP");
  ASSERT_GE(builtIn, 4);
  EXPECT_EQ(draw::Object(builtIn).width, 640);
  WriteBmp(programDir + "/MASKBMP", 10, 10, [](int, int) { return 0xFF0000u; });
  const int file = elDraw::LoadObject("MASKBMP");
  EXPECT_EQ(draw::Object(file).width, 10);
}

TEST_F(Draw, PresentShowsTheBackScreenUnlessTheWaitFails) {
  draw::BackScreen().At(3, 4) = 0xABCD;
  elDraw::Present();
  ASSERT_EQ(pt::PresentCount(), 1);
  EXPECT_EQ(pt::LastFrame()[4 * 640 + 3], 0xABCD);
  pt::SetVerticalBlankFails(true);
  elDraw::Present();
  EXPECT_EQ(pt::PresentCount(), 1) << "a failed wait drops the frame";
}

TEST_F(Draw, CellTextOnSilver) {
  draw::SetLabelColor(10);
  draw::DrawCellText(71, 2, "***");
  EXPECT_EQ(draw::LabelColor(), 0) << "back to black after a label";
  EXPECT_EQ(At(567, 32), kSilver565);
  EXPECT_EQ(At(566, 32), 0);
  EXPECT_EQ(At(567 + 23, 47), kSilver565);
  EXPECT_EQ(At(567 + 24, 47), 0) << "three cells of 8";
  int red = 0;
  for (int y = 32; y < 48; ++y)
    for (int x = 567; x < 591; ++x) red += (At(x, y) >> 11) > 20 && ((At(x, y) >> 5) & 0x3F) < 20 ? 1 : 0;
  EXPECT_GT(red, 10) << "the stars are drawn in red";
  // A colour reference holds red in its low byte.
  draw::BeginText(draw::kFaceGothic, 16);
  draw::SetTextColors(0x0000FF, 0, 1);
  draw::PutText(300, 300, "***");
  draw::EndText();
  int referencedRed = 0;
  for (int y = 300; y < 316; ++y)
    for (int x = 300; x < 324; ++x) referencedRed += (At(x, y) >> 11) > 20 && (At(x, y) & 0x1F) < 8 ? 1 : 0;
  EXPECT_GT(referencedRed, 10) << "text in the colour reference 0x0000FF is red";

  const auto before = draw::BackScreen().pixels;
  draw::SetLabelColor(17);
  draw::DrawCellText(1, 1, "x");
  EXPECT_EQ(draw::BackScreen().pixels, before);
  EXPECT_EQ(draw::LabelColor(), 17);
}

TEST_F(Draw, DoubleByteCharacterIsOneGlyphSixteenWide) {
  pt::SetSystemLanguageJapanese(true);
  draw::DrawCellText(1, 1, "\x82\xA0");  // Hiragana a
  EXPECT_EQ(At(7 + 15, 31), kSilver565);
  EXPECT_EQ(At(7 + 16, 31), 0);
  int ink = 0;
  for (int y = 16; y < 32; ++y)
    for (int x = 7; x < 23; ++x) ink += At(x, y) != kSilver565 ? 1 : 0;
  EXPECT_GT(ink, 15) << "a glyph, not two";
}

// The underscore lies just under the line in the Gothic face: it shows
// inside its cell ("file_name", not "file name") and nothing spills below.
TEST_F(Draw, AnUnderscoreShowsInItsCell) {
  draw::DrawCellText(1, 1, "a_b");
  int ink = 0;
  for (int y = 16; y < 32; ++y)
    for (int x = 15; x < 23; ++x) ink += At(x, y) != kSilver565 ? 1 : 0;
  EXPECT_GE(ink, 6) << "the underscore's line";
  for (int x = 7; x < 31; ++x) EXPECT_EQ(At(x, 32), 0) << "below the cells, column " << x;
}

}  // namespace
