// The keys' names and the view step, on the program's own frames: the
// plain view is the artwork as it stands, the names are where a player
// reads them whatever the layout and language, Tab steps the view and the
// choice outlives the run, and a new player is told once about the notes
// ahead.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/settings.h"
#include "game/artwork_layout.h"
#include "game/lyric_bar.h"
#include "game/piano_keys.h"
#include "platform/virtual_keys.h"
#include "program_fixture.h"
#include "program_reset.h"

namespace {

namespace pt = platform::testing;
namespace vk = platform::vk;
using files::View;
using game::SourceRect;

constexpr SourceRect kPianoArea{0, 264, 640, 472};
constexpr const char* kEnglishHint = "Press Tab to see the notes ahead; Tab steps: plain, names, notes ahead";

class KeyNames : public test::ProgramTest {
 protected:
  static std::string SettingsText() {
    std::ifstream in(files::SettingsPath());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static void KeepView(View view) {
    int error = 0;
    ASSERT_TRUE(files::ChangeSettings({.view = view, .notesAheadHintShown = true}, error));
  }
  // The game ended and started again: every module fresh, the settings
  // file as the last run left it.
  void Restart(const std::string& line = "-") {
    const std::string kept = SettingsText();
    TearDown();
    SetUp();
    std::ofstream(files::SettingsPath(), std::ios::binary | std::ios::trunc) << kept;
    Start(line);
  }
  static bool ShowsScreenArtwork(const SourceRect& r) { return ShowsArtwork(r.left, r.top, r); }
  // True when the screen at (x, y) shows `look` from the artwork with the
  // texts drawn over it at their places (relative to the look's corner).
  struct Text {
    int x, y;
    const char* utf8;
    std::uint32_t rgb;
  };
  static bool ShowsLookWith(int x, int y, const SourceRect& look, std::initializer_list<Text> texts) {
    const int width = look.right - look.left, height = look.bottom - look.top;
    std::vector<std::uint16_t> expected(static_cast<std::size_t>(width * height));
    for (int j = 0; j < height; ++j)
      for (int i = 0; i < width; ++i) expected[j * width + i] = Artwork(look.left + i, look.top + j);
    for (const Text& t : texts)
      platform::DrawUtf8Text(expected.data(), width, height, width, t.x, t.y, t.utf8, platform::kFaceGothic, 14, t.rgb,
                             0, false);
    for (int j = 0; j < height; ++j)
      for (int i = 0; i < width; ++i)
        if (Shown(x + i, y + j) != expected[j * width + i]) return false;
    return true;
  }
};

// The plain view is today's screen; a step shows the names, the notes-ahead
// view keeps them, and plain again takes them off. Each step is in the file
// and a restart finds it.
TEST_F(KeyNames, TabStepsTheViewAndTheFileKeepsIt) {
  Start();
  EXPECT_TRUE(ShowsScreenArtwork(kPianoArea));
  const struct {
    View view;
    const char* line;
    bool plainKeys;
  } kSteps[] = {{View::Names, "view names", false}, {View::NotesAhead, "view ahead", false}, {View::Plain, "view plain", true}};
  for (const auto& step : kSteps) {
    SCOPED_TRACE(step.line);
    Tap(vk::kTab);
    EXPECT_EQ(files::CurrentSettings().view, step.view);
    EXPECT_NE(SettingsText().find(std::string("\n") + step.line + "\n"), std::string::npos);
    EXPECT_EQ(ShowsArtwork(0, 400, {0, 400, 640, 472}), step.plainKeys) << "the white keys' lower parts";
    Restart();
    EXPECT_EQ(files::CurrentSettings().view, step.view);
    EXPECT_EQ(ShowsArtwork(0, 400, {0, 400, 640, 472}), step.plainKeys) << "after a restart";
  }
}

// Each key's names near its bottom: the computer key as the layout types
// it, the note's name in the player's language on a white key, drawn over
// the key's look with its arrow left clear.
TEST_F(KeyNames, EachKeyShowsItsComputerKeyAndNote) {
  const struct {
    const char* name;
    const char* frenchA;  // what the layout types at A's place, or null for US
    bool japanese;
    int key, look;
    SourceRect art;
    int x, y;
    std::initializer_list<Text> texts;
  } kCases[] = {
      // White key 0 at x 8: one 7-pixel cell centred on 8 + 26, the key's
      // name 4 pixels above its bottom (472), the note's at the lower part's top.
      {"C, US", nullptr, false, 0, game::kKeyLookUp, game::WhiteKeyLower(0), 8, 400, {{23, 54, "A", 0x000000}, {23, 4, "C", 0x1F3F8F}}},
      {"C, French layout", "Q", false, 0, game::kKeyLookLit, game::WhiteKeyLower(1), 8, 400, {{23, 54, "Q", 0x000000}, {23, 4, "C", 0x1F3F8F}}},
      {"F, Japanese", nullptr, true, 5, game::kKeyLookUp, game::WhiteKeyLower(0), 164, 400, {{23, 54, "F", 0x000000}, {12, 4, "ファ", 0x1F3F8F}}},
      {"B an octave above", nullptr, false, 11, game::kKeyLookLitOctaveAbove, game::WhiteKeyLower(3), 320, 400, {{23, 54, "J", 0x000000}, {23, 4, "B", 0x1F3F8F}}},
      // The Japanese faces draw '\\' as a yen sign: the full-width backslash, two cells.
      {"G, the backslash key", nullptr, false, 19, game::kKeyLookUp, game::WhiteKeyLower(0), 580, 400, {{19, 54, "＼", 0x000000}, {23, 4, "G", 0x1F3F8F}}},
      // Black key 1 at x 50, 19 wide: its key's name in white, 13 above its bottom (400).
      {"C sharp lit", nullptr, false, 1, game::kKeyLookLit, game::BlackKey(1), 50, 264, {{6, 109, "W", 0xFFFFFF}}},
      {"D sharp an octave below", "Z", true, 3, game::kKeyLookLitOctaveBelow, game::BlackKey(2), 102, 264, {{6, 109, "E", 0xFFFFFF}}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    SetUp();
    KeepView(View::Names);
    if (c.frenchA != nullptr) pt::SetKeyLabel('A', c.frenchA);
    pt::SetSystemLanguageJapanese(c.japanese);
    Start();
    game::DrawPianoKey(c.key, c.look);
    Pass();
    EXPECT_TRUE(ShowsLookWith(c.x, c.y, c.art, c.texts));
    if (c.look == game::kKeyLookLitOctaveAbove) {
      EXPECT_TRUE(ShowsArtwork(c.x, 420, {c.art.left, c.art.top + 20, c.art.right, c.art.top + 50})) << "the arrow";
    }
  }
}

// A new player starts with the names shown and is told once which key shows
// the notes ahead; the bar's hint goes with the first run or the first Tab.
TEST_F(KeyNames, ANewPlayerIsToldOnceAboutTheNotesAhead) {
  std::filesystem::remove(files::SettingsPath());
  Start();
  EXPECT_EQ(files::CurrentSettings().view, View::Names);
  EXPECT_EQ(game::LyricBarText(), kEnglishHint);
  EXPECT_NE(SettingsText().find("\nnotes-ahead-hint-shown yes\n"), std::string::npos);
  Tap(vk::kTab);
  EXPECT_EQ(game::LyricBarText(), "");
  Restart();
  EXPECT_EQ(game::LyricBarText(), "");
  // A damaged file gives the defaults: the names, and the hint once more.
  std::ofstream(files::SettingsPath(), std::ios::trunc) << "view sideways\nnotes-ahead-hint-shown \x01\n";
  Restart();
  EXPECT_EQ(files::CurrentSettings().view, View::Names);
  EXPECT_EQ(game::LyricBarText(), kEnglishHint);
  EXPECT_FALSE(ShowsArtwork(0, 400, {0, 400, 640, 472}));
}

}  // namespace
