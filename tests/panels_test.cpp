// The main screen's panels in pixels: every expected picture is cut from the
// artwork file by the places in the artwork's layout table, worked out here
// rather than taken from the program.
#include "draw/eldraw.h"
#include "game/computer_keyboard.h"
#include "game/controls.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/panels.h"
#include "game/piano_keys.h"
#include "player/playback_clock.h"
#include "program_fixture.h"

namespace {

namespace pt = platform::testing;
using game::SourceRect;
using test::Track;

constexpr draw::Pixel kRed = draw::RgbToPixel(0xFF0000);

SourceRect Small(int d, bool bright) { return {(bright ? 289 : 429) + 14 * d, 480, (bright ? 303 : 443) + 14 * d, 500}; }
SourceRect Big(int d) { return {289 + 28 * d, 500, 317 + 28 * d, 540}; }

// A song whose track 3 carries the lyric "ab cd" at its start.
std::vector<Track> LyricSong() {
  Track conductor, guide, band;
  conductor.Tempo(0, 500000).End(9600);
  guide.Event(4800, {0x90, 64, 90}).Event(240, {0x80, 64, 0}).End(0);
  band.Text(0, 0x05, "ab cd").End(0);
  return {conductor, guide, band};
}

class Panels : public test::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    StartWithSong(LyricSong());
  }
  // Red ink anywhere in the lyric bar's cells of columns first..last.
  static bool RedInCells(int first, int last) {
    for (int y = 224; y < 240; ++y)
      for (int x = 8 * first - 1; x < 8 * (last + 1) - 1; ++x)
        if (Shown(x, y) == kRed) return true;
    return false;
  }
};

TEST_F(Panels, DigitsAreTakenFromTheRightAndDimWhileStopped) {
  game::DrawSmallNumber(17, 140, 3, 7);
  game::DrawSmallNumber(77, 140, 2, 123);
  Pass();
  EXPECT_TRUE(ShowsArtwork(17, 140, Small(0, false)));
  EXPECT_TRUE(ShowsArtwork(31, 140, Small(0, false)));
  EXPECT_TRUE(ShowsArtwork(45, 140, Small(7, false))) << "007";
  EXPECT_TRUE(ShowsArtwork(77, 140, Small(2, false)));
  EXPECT_TRUE(ShowsArtwork(91, 140, Small(3, false))) << "123 in two digits is 23";
  ClickButton(game::kButtonDemo);
  EXPECT_TRUE(ShowsArtwork(227, 140, Small(1, true))) << "the tempo, 120, drawn while playing";
  EXPECT_TRUE(ShowsArtwork(241, 140, Small(2, true)));
  EXPECT_TRUE(ShowsArtwork(255, 140, Small(0, true)));
  game::DrawBigNumber(480, 120, 3, 42);
  Pass();
  EXPECT_TRUE(ShowsArtwork(480, 120, Big(0)));
  EXPECT_TRUE(ShowsArtwork(508, 120, Big(4)));
  EXPECT_TRUE(ShowsArtwork(536, 120, Big(2)));
}

TEST_F(Panels, VerdictAndScoreAfterAJudgedPress) {
  ClickButton(game::kButtonTraining);
  EXPECT_TRUE(ShowsArtwork(320, 120, {320, 120, 432, 160})) << "the timing panel starts empty";
  Tap('A');  // five seconds early
  EXPECT_TRUE(ShowsArtwork(320, 120, {289 + 224, 540, 401 + 224, 580})) << "FAST";
  EXPECT_TRUE(ShowsArtwork(480, 120, Big(0)));
  EXPECT_TRUE(ShowsArtwork(580, 120, Big(0)));
  game::DrawVerdictPanel(320, 120, game::kVerdictGood);
  game::DrawScore(875);
  Pass();
  EXPECT_TRUE(ShowsArtwork(320, 120, {289, 540, 401, 580})) << "Good";
  EXPECT_TRUE(ShowsArtwork(480, 120, Big(0)));
  EXPECT_TRUE(ShowsArtwork(508, 120, Big(8)));
  EXPECT_TRUE(ShowsArtwork(536, 120, Big(7)));
  EXPECT_TRUE(ShowsArtwork(580, 120, Big(5))) << "087.5";
}

TEST_F(Panels, KeysInEveryShapeAndTheOctaveAwayLooks) {
  // Lit white keys of the three shapes and a lit black key.
  game::DrawPianoKey(0, game::kKeyLookLit);  // C: notch on the right, 42 wide from 0
  game::DrawPianoKey(2, game::kKeyLookLit);  // D: notches on both sides, 32 wide from 10
  game::DrawPianoKey(4, game::kKeyLookLit);  // E: notch on the left, 42 wide from 10
  game::DrawPianoKey(1, game::kKeyLookLit);  // C#
  Pass();
  EXPECT_TRUE(ShowsArtwork(8, 264, {52, 480, 94, 616}));
  EXPECT_TRUE(ShowsArtwork(8, 400, {52, 616, 104, 688}));
  EXPECT_TRUE(ShowsArtwork(70, 264, {62, 480, 94, 616}));
  EXPECT_TRUE(ShowsArtwork(60, 400, {52, 616, 104, 688}));
  EXPECT_TRUE(ShowsArtwork(122, 264, {62, 480, 104, 616}));
  EXPECT_TRUE(ShowsArtwork(112, 400, {52, 616, 104, 688}));
  EXPECT_TRUE(ShowsArtwork(50, 264, {228, 480, 247, 616}));

  // Note 55 lights key 7 (G) with the below look; 84 key 12 with the above look.
  game::DrawPianoKey(55 - 60, game::kKeyLookLit);
  game::DrawPianoKey(84 - 60, game::kKeyLookLit);
  Pass();
  EXPECT_TRUE(ShowsArtwork(8 + 52 * 4, 400, {104, 616, 156, 688}));
  EXPECT_TRUE(ShowsArtwork(8 + 52 * 4 + 10, 264, {114, 480, 146, 616}));
  EXPECT_TRUE(ShowsArtwork(8 + 52 * 7, 400, {156, 616, 208, 688}));
  EXPECT_TRUE(ShowsArtwork(8 + 52 * 7, 264, {156, 480, 198, 616}));

  // Notes 40 and 100 light nothing.
  const std::vector<draw::Pixel> before = draw::BackScreen().pixels;
  game::DrawPianoKey(40 - 60, game::kKeyLookLit);
  game::DrawPianoKey(100 - 60, game::kKeyLookLit);
  EXPECT_EQ(draw::BackScreen().pixels, before);
}

TEST_F(Panels, LyricWordsLightOnePerPressAndTheLineReArms) {
  ClickButton(game::kButtonDemo);
  Pass();
  ASSERT_FALSE(RedInCells(2, 6)) << "the line is shown, no word lit yet";
  Tap('A');
  EXPECT_TRUE(RedInCells(2, 3)) << "ab";
  EXPECT_FALSE(RedInCells(5, 6));
  Tap('A');
  EXPECT_TRUE(RedInCells(5, 6)) << "cd";
  EXPECT_EQ(game::LyricWordPosition(), 5);
  Tap('A');
  EXPECT_TRUE(game::LyricWordsLeft()) << "the third press only re-arms the line";
  EXPECT_EQ(game::LyricWordPosition(), 0);
  Tap('A');
  EXPECT_EQ(game::LyricWordPosition(), 2) << "the fourth lights the first word again";
}

TEST_F(Panels, StoppedKeysLeaveTheLyricBarAlone) {
  ClickButton(game::kButtonDemo);
  Pass();
  ClickButton(game::kButtonStop);  // the line "ab cd" stays in the lyric buffer
  const std::vector<draw::Pixel> before = draw::BackScreen().pixels;
  Tap('A');
  game::AdvanceLyricWord();
  game::ShowLyricLine();
  EXPECT_EQ(draw::BackScreen().pixels, before);
}

TEST_F(Panels, TheEnteredScreenShowsTitleAndUnlitKeys) {
  EXPECT_TRUE(ShowsArtwork(8, 400, {0, 616, 52, 688}));
  EXPECT_TRUE(ShowsArtwork(0, 250, {0, 250, 640, 264})) << "the background between lyric bar and piano";
  EXPECT_EQ(Shown(620, 100), draw::RgbToPixel(0xC0C0C0)) << "the title panel's silver";
}

}  // namespace
