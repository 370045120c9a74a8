// The score screens: name entry and the ranking, driven frame by frame with
// key events and clicks, and the artwork font they draw with, in pixels.
#include <cstring>
#include <filesystem>
#include <fstream>

#include "draw/bright_copy.h"
#include "draw/eldraw.h"
#include "files/ranking.h"
#include "game/artwork_text.h"
#include "game/judging.h"
#include "game/main_command.h"
#include "game/score_screens.h"
#include "platform/virtual_keys.h"
#include "program_fixture.h"
#include "scene/scenes.h"

namespace {

namespace pt = platform::testing;
namespace fs = std::filesystem;
using platform::EventKind;

class ScoreScreens : public test::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    song_ = (SongFolder() / "tune.mid").string();
    Start("-");
    // The song's ranking as a load leaves it: the default table, no file yet.
    files::RestoreDefaultRankingText();
    files::DeriveRankingPath(song_.c_str());
    files::ReadRankingFile();
  }
  // Ranking scores as the table holds them, best first.
  void SetScores(std::initializer_list<int> scores) {
    int r = 0;
    for (int s : scores) {
      char field[6];
      std::snprintf(field, sizeof field, "%05d", s);
      std::memcpy(files::RankingText() + 16 * r + 10, field, 5);
      files::SetRankingScore(r++, s);
    }
  }
  // Enters a scene from the main screen after its closing wipe, and runs
  // its ten reveal frames.
  void EnterScene(int scene) {
    scene::BeginSceneChange(scene);
    for (int i = 0; i < 10; ++i) Pass();
    ASSERT_EQ(scene::SceneNumber(), scene);
    for (int i = 0; i < 11; ++i) Pass();
    ASSERT_EQ(game::RevealCountdown(), 0);
  }
  // A key press on a US layout: a letter key types its own letter.
  void KeyDown(int key) {
    pt::PushEvent({EventKind::KeyDown, 0, 0, key, key >= 'A' && key <= 'Z' ? key : 0});
    Pass();
  }
  void KeyUp(int key) {
    pt::PushEvent({EventKind::KeyUp, 0, 0, key});
    Pass();
  }
  void Type(int key) {
    KeyDown(key);
    KeyUp(key);
  }
  std::string Name(int record) const { return std::string(files::RankingText() + 16 * record, 10); }
  std::string song_;
};

TEST_F(ScoreScreens, TheNewScoreTakesItsPlaceAboveAnEqualOne) {
  SetScores({900, 800, 700, 600, 550});
  game::SetScore(700);
  EnterScene(scene::kSceneNameEntry);
  EXPECT_EQ(game::NewEntryRecord(), 2);
  EXPECT_EQ(std::string(files::RankingText(), 80),
            "AAA       00900 BBB       00800           00700 CCC       00700 DDD       00600 ")
      << "550 dropped out; every score field rewritten as five digits";
  EXPECT_EQ(files::RankingScore(3), 700);
  EXPECT_EQ(files::RankingScore(4), 600);
}

TEST_F(ScoreScreens, TypingANameWithItsEditingKeys) {
  game::SetScore(600);
  EnterScene(scene::kSceneNameEntry);
  ASSERT_EQ(game::NewEntryRecord(), 0);
  Type(0x08);  // Backspace at 0 does nothing
  EXPECT_EQ(game::EntryCursor(), 0);
  for (char c : std::string("ABCDEFGHIJK")) Type(c);
  EXPECT_STREQ(game::EntryBuffer(), "ABCDEFGHIK") << "the eleventh letter replaces the tenth";
  EXPECT_EQ(game::EntryCursor(), 9);
  for (int i = 0; i < 6; ++i) Type(0x25);  // Left
  EXPECT_EQ(game::EntryCursor(), 3);
  Type(0x08);
  EXPECT_STREQ(game::EntryBuffer(), "AB DEFGHIK") << "Backspace at 3 clears the third";
  EXPECT_EQ(game::EntryCursor(), 2);
  Type(0x27);  // Right
  Type(0x20);
  EXPECT_STREQ(game::EntryBuffer(), "AB  EFGHIK");
  // A held key types once; pressed again, it types again.
  KeyDown('Z');
  for (int i = 0; i < 5; ++i) Pass();
  KeyUp('Z');
  EXPECT_STREQ(game::EntryBuffer(), "AB  ZFGHIK");
  Type('Z');
  EXPECT_STREQ(game::EntryBuffer(), "AB  ZZGHIK");
}

TEST_F(ScoreScreens, NothingActsDuringTheRevealFrames) {
  game::SetScore(600);
  scene::BeginSceneChange(scene::kSceneNameEntry);
  for (int i = 0; i < 10; ++i) Pass();
  for (int i = 0; i < 10; ++i) {
    pt::PushEvent({EventKind::KeyDown, 0, 0, 'Q' - i});
    Pass();
  }
  EXPECT_STREQ(game::EntryBuffer(), "          ");
  KeyDown('A');
  EXPECT_STREQ(game::EntryBuffer(), "A         ");

  scene::BeginSceneChange(scene::kSceneRanking);
  for (int i = 0; i < 10; ++i) Pass();
  for (int i = 0; i < 10; ++i) {
    pt::PushEvent({EventKind::LeftDown, 100, 100});
    Pass();
  }
  EXPECT_EQ(scene::TransitionDirection(), 0) << "no click acts while the table is revealed";
  pt::PushEvent({EventKind::LeftDown, 100, 100});
  Pass();
  EXPECT_EQ(scene::NextScene(), scene::kSceneMain);
}

TEST_F(ScoreScreens, ReturnWritesTheRankingAndShowsIt) {
  game::SetScore(505);
  EnterScene(scene::kSceneNameEntry);
  for (char c : std::string("ANN")) Type(c);
  Type(platform::vk::kReturn);
  EXPECT_EQ(game::Score(), 0);
  EXPECT_EQ(scene::NextScene(), scene::kSceneRanking);
  const std::string onDisk = test::ReadText((SongFolder() / "tune.DAT").string());
  EXPECT_EQ(onDisk, "ANN       00505 AAA       00500 BBB       00400 CCC       00300 DDD       00200 ");
}

TEST_F(ScoreScreens, DeleteAndYesClearTheTableOnDisk) {
  SetScores({990, 980, 970, 960, 950});
  EnterScene(scene::kSceneRanking);
  EXPECT_EQ(game::MainCommand(), game::kCommandRunning);
  pt::ScriptAnswers({true});
  Type(0x2E);
  ASSERT_EQ(pt::Boxes().size(), 1u);
  EXPECT_EQ(pt::Boxes()[0].text, "Do you clear score ?\n");
  EXPECT_EQ(test::ReadText((SongFolder() / "tune.DAT").string()), std::string(files::kDefaultRankingText));
  EXPECT_EQ(scene::NextScene(), scene::kSceneRanking) << "shown anew";
  // A game of 450 then goes between the default 500 and 400.
  game::SetScore(450);
  EnterScene(scene::kSceneNameEntry);
  EXPECT_EQ(game::NewEntryRecord(), 1);
}

TEST_F(ScoreScreens, DeleteAsksInJapaneseAndNoKeepsTheTable) {
  pt::SetSystemLanguageJapanese(true);
  SetScores({990, 980, 970, 960, 950});
  EnterScene(scene::kSceneRanking);
  pt::ScriptAnswers({false});
  Type(0x2E);
  ASSERT_EQ(pt::Boxes().size(), 1u);
  EXPECT_EQ(pt::Boxes()[0].text, "スコアデータをクリアしますか？\n");
  EXPECT_EQ(files::RankingScore(0), 990);
  EXPECT_FALSE(fs::exists(SongFolder() / "tune.DAT"));
}

TEST_F(ScoreScreens, SpaceOrAClickGoBackToTheMainScreen) {
  EnterScene(scene::kSceneRanking);
  Type(0x20);
  EXPECT_EQ(scene::NextScene(), scene::kSceneMain);
}

// The note keys are read by their place, but a name is typed with the
// letters the keys type on the player's layout.
TEST_F(ScoreScreens, NameEntryTakesTheLetterTheKeyTypes) {
  struct Case {
    const char* layout;
    int key;     // by place, as on a US keyboard
    int letter;  // what it types
    const char* typed;
  };
  const Case cases[] = {
      {"AZERTY A", 'A', 'Q', "Q"},        {"AZERTY Q", 'Q', 'A', "A"},
      {"QWERTZ Y", 'Y', 'Z', "Z"},        {"AZERTY M, right of L", 0xBB, 'M', "M"},
      {"AZERTY comma, where M is", 'M', 0, ""},
  };
  game::SetScore(600);
  EnterScene(scene::kSceneNameEntry);
  std::string expected;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout);
    pt::PushEvent({EventKind::KeyDown, 0, 0, c.key, c.letter});
    Pass();
    KeyUp(c.key);
    expected += c.typed;
    EXPECT_EQ(std::string(game::EntryBuffer()).substr(0, expected.size()), expected);
    EXPECT_EQ(game::EntryCursor(), static_cast<int>(expected.size()));
  }
}

// A key that goes down and up between two frame passes counts once.
TEST_F(ScoreScreens, ATapBetweenTwoFramesCountsOnce) {
  game::SetScore(600);
  EnterScene(scene::kSceneNameEntry);
  for (int i = 0; i < 2; ++i) {  // twice: down, up, down, up
    pt::PushEvent({EventKind::KeyDown, 0, 0, 'B', 'B'});
    pt::PushEvent({EventKind::KeyUp, 0, 0, 'B'});
  }
  Pass();
  Pass();
  EXPECT_STREQ(game::EntryBuffer(), "B         ");
  EXPECT_EQ(game::EntryCursor(), 1);
  KeyDown('C');  // then held, with repeats
  for (int i = 0; i < 3; ++i) KeyDown('C');
  KeyUp('C');
  EXPECT_STREQ(game::EntryBuffer(), "BC        ") << "a held key types once";

  EnterScene(scene::kSceneRanking);
  pt::PushEvent({EventKind::KeyDown, 0, 0, 0x20});
  pt::PushEvent({EventKind::KeyUp, 0, 0, 0x20});
  Pass();
  EXPECT_EQ(scene::NextScene(), scene::kSceneMain);
}

// --- The artwork font and the bright copy, in pixels ---

class ArtworkText : public test::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Start("-");
    scene::ClearBackScreen();
  }
  // The leftmost and rightmost columns with ink between two rows.
  static std::pair<int, int> InkColumns(int top, int bottom) {
    const draw::Surface& screen = draw::BackScreen();
    int first = 640, last = -1;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < 640; ++x)
        if (screen.At(x, y) != 0) {
          first = std::min(first, x);
          last = std::max(last, x);
        }
    return {first, last};
  }
  static bool InkIn(int left, int right, int top, int bottom) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if (draw::BackScreen().At(x, y) != 0) return true;
    return false;
  }
};

TEST_F(ArtworkText, ProportionalAndCellSpacing) {
  // "I" is 14 wide (193..207), "W" 36 (516..552). Proportional: W at 100,
  // then a space of 20, then I at 156.
  game::DrawArtworkText(100, 50, "W I", 26, 0);
  EXPECT_TRUE(ShowsArtworkOnBackScreen(100, 50, {516, 688, 552, 718}));
  EXPECT_TRUE(ShowsArtworkOnBackScreen(156, 50, {193, 688, 207, 718}));
  // Cells of 40: I centred at 100 + 40 + (40 - 14) / 2 = 153.
  game::DrawArtworkText(100, 150, " Iq I", 26, 1);
  EXPECT_TRUE(ShowsArtworkOnBackScreen(153, 150, {193, 688, 207, 718}));
  EXPECT_FALSE(InkIn(180, 260, 150, 180)) << "q has no glyph: an empty cell, as a space";
  EXPECT_TRUE(ShowsArtworkOnBackScreen(273, 150, {193, 688, 207, 718}));
  // Spacing 25: centred as in a 40 cell, advancing 25: "1." of the table.
  game::DrawArtworkText(30, 250, "1.", 2, 25);
  EXPECT_TRUE(ShowsArtworkOnBackScreen(30 + (40 - 14) / 2, 250, {26, 718, 40, 748}));
  EXPECT_TRUE(ShowsArtworkOnBackScreen(55 + (40 - 16) / 2, 250, {105, 748, 121, 778}));
  // A count of 0 or less draws nothing.
  const auto before = draw::BackScreen().pixels;
  game::DrawArtworkText(100, 350, "ABC", 0, 0);
  game::DrawArtworkText(100, 350, "ABC", -3, 1);
  EXPECT_EQ(draw::BackScreen().pixels, before);
}

TEST_F(ArtworkText, AScoreFieldOf12345ShowsAs2345) {
  files::RestoreDefaultRankingText();
  std::memcpy(files::RankingText() + 10, "12345", 5);
  files::ParseRankingScores();
  EXPECT_EQ(files::RankingScore(0), 12345);
  game::DrawRankingTable(-1);
  // "234.5" at (490, 100), spacing 25: each glyph centred in a 40 cell.
  const int digitLeft[10] = {0, 26, 40, 65, 86, 108, 130, 151, 171, 192};
  const int digitRight[10] = {26, 40, 65, 86, 108, 130, 151, 171, 192, 212};
  int x = 490;
  for (int d : {2, 3, 4}) {
    EXPECT_TRUE(ShowsArtworkOnBackScreen(x + (40 - (digitRight[d] - digitLeft[d])) / 2, 100,
                                         {digitLeft[d], 718, digitRight[d], 748}))
        << d;
    x += 25;
  }
  EXPECT_TRUE(ShowsArtworkOnBackScreen(x + 12, 100, {105, 748, 121, 778}));
  x += 25;
  EXPECT_TRUE(ShowsArtworkOnBackScreen(x + (40 - 22) / 2, 100, {108, 718, 130, 748}));
}

TEST_F(ArtworkText, TheBrightCopySkipsKeyPixelsAndScalesEachChannel) {
  // A 2 x 1 picture in the Buffer object: black (the key) and one colour.
  draw::Surface* buffer = draw::ObjectSurface(0);
  buffer->At(0, 0) = 0;
  buffer->At(1, 0) = static_cast<draw::Pixel>((31 << 11) | (40 << 5) | 10);
  draw::BackScreen().At(300, 300) = 0x1234;
  draw::DrawBrightCopy(300, 300, 0.5f, 0, 0, 0, 2, 1);
  EXPECT_EQ(draw::BackScreen().At(300, 300), 0x1234) << "the key pixel is skipped";
  EXPECT_EQ(draw::BackScreen().At(301, 300), (15 << 11) | (20 << 5) | 5) << "31, 40, 10 halved and truncated";
  // Clipped like any copy: at x = 639 only the first column lands.
  buffer->At(0, 1) = static_cast<draw::Pixel>((31 << 11) | (40 << 5) | 10);
  buffer->At(1, 1) = 0xFFFF;
  draw::DrawBrightCopy(639, 10, 1.0f, 0, 0, 1, 2, 2);
  EXPECT_EQ(draw::BackScreen().At(639, 10), (31 << 11) | (40 << 5) | 10);
  EXPECT_NE(draw::BackScreen().At(0, 11), 0xFFFF) << "nothing wraps to the next row";
  // A dimmed prompt is drawn with it, then the brightness is full again.
  game::SetTextBrightness(2);
  game::DrawArtworkText(0, 400, "A", 1, 0);
  EXPECT_EQ(game::TextBrightness(), 10.0f);
  EXPECT_FALSE(ShowsArtworkOnBackScreen(0, 400, {0, 688, 25, 718})) << "dimmed";
  EXPECT_TRUE(InkIn(0, 25, 400, 430));
}

}  // namespace
