// The main screen composed with the program's own blits from the artwork:
// digits, a verdict, lit keys, a title and a lyric line. The picture is
// saved as build/main_screen.bmp (the README shows it) and checked.
#include <gtest/gtest.h>

#include "draw/eldraw.h"
#include "draw/text.h"
#include "game/artwork_layout.h"
#include "platform/testing/testing.h"

namespace {

namespace pt = platform::testing;
using game::SourceRect;

void PutRect(int x, int y, int object, SourceRect r) { elDraw::Put(x, y, object, r.left, r.top, r.right, r.bottom); }

void SmallNumber(int art, int x, int value, int digits) {
  for (int i = digits - 1; i >= 0; --i, value /= 10) PutRect(x + 14 * i, 140, art, game::SmallDigit(value % 10, true));
}

// A white key of the main screen's piano in a look (shape by its column).
void WhiteKey(int art, int column, int look) {
  static const int kShape[12] = {0, 1, 2, 0, 1, 1, 2, 0, 1, 2, 0, 2};
  const int offset = kShape[column] == 0 ? 0 : 10, width = kShape[column] == 1 ? 32 : 42;
  const SourceRect upper = game::WhiteKeyUpper(look);
  elDraw::Put(8 + 52 * column + offset, 264, art, upper.left + offset, upper.top, upper.left + offset + width, upper.bottom);
  PutRect(8 + 52 * column, 400, art, game::WhiteKeyLower(look));
}

TEST(MainScreenPicture, ComposedFromTheArtwork) {
  pt::Reset();
  draw::ResetDraw();
  draw::SetFullScreenFlag(false);
  ASSERT_EQ(elDraw::Screen(640, 480), 1);
  elDraw::SetKeyColor(0);
  const int art = elDraw::LoadObject("BASC");
  ASSERT_GE(art, 4);
  PutRect(0, 0, art, game::kScreenBackground);
  draw::DrawCellText(3, 6, "Amazing Grace (waltz time)");
  SmallNumber(art, 17, 5, 3);
  SmallNumber(art, 77, 2, 2);
  SmallNumber(art, 137, 3, 2);
  SmallNumber(art, 180, 4, 2);
  SmallNumber(art, 227, 90, 3);
  PutRect(320, 120, art, game::Verdict(0));
  const int score = 875;
  for (int i = 0; i < 3; ++i) PutRect(480 + 28 * i, 120, art, game::BigDigit(score / 10 / (i == 0 ? 100 : i == 1 ? 10 : 1) % 10));
  PutRect(580, 120, art, game::BigDigit(score % 10));
  draw::PressBox(196, 180, 258, 210);  // TRAINING stays pressed while it runs
  draw::DrawCellText(2, 14, "A ma zing grace how sweet the sound");
  draw::SetLabelColor(10);
  draw::DrawCellText(2 + 10, 14, "grace");  // the word at byte 10 of the line
  WhiteKey(art, 4, 1);                                   // G: the note to play
  PutRect(8 + 52 * 5 + 42, 264, art, game::BlackKey(1)); // A-sharp lit
  WhiteKey(art, 0, 2);                                    // an octave below
  WhiteKey(art, 11, 3);                                   // an octave above
  elDraw::Present();
  ASSERT_TRUE(pt::SaveLastFrame(TONQUILL_BINARY_DIR "/main_screen.bmp"));

  // The lit G key is amber, the title sits on silver, the verdict is drawn.
  const auto& frame = pt::LastFrame();
  const draw::Pixel lit = frame[300 * 640 + 8 + 52 * 4 + 20];
  EXPECT_GT(lit >> 11, 25) << "red channel of the lit key";
  EXPECT_LT(lit & 0x1F, 20) << "blue channel of the lit key";
  EXPECT_EQ(frame[95 * 640 + 630 - 10], draw::RgbToPixel(0xC0C0C0));
  EXPECT_NE(frame[140 * 640 + 376], frame[140 * 640 + 322]) << "the verdict word has ink";
  elDraw::Release();
}

}  // namespace
