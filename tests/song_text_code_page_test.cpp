// Song text in Shift-JIS reads as Japanese on any system, and Western text
// stays in the system's code page.
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "platform/platform.h"
#include "song/song_scan.h"
#include "song/song_text_code_page.h"

namespace {

using platform::CodePage;
using song::ReadAsShiftJis;

// さくら and ア in Shift-JIS; "Mädchen" and "Don’t" in Windows-1252.
const std::string kSakura = "\x82\xb3\x82\xad\x82\xe7";
const std::string kKatakanaA = "\x83\x41";
const std::string kMaedchen = "M\xe4" "dchen";
const std::string kDont = "Don\x92t";

TEST(ShiftJisReading, JapaneseTextReadsAsShiftJis) {
  EXPECT_TRUE(ReadAsShiftJis(kSakura, false).valid);
  EXPECT_TRUE(ReadAsShiftJis(kSakura, false).japanese);
  EXPECT_TRUE(ReadAsShiftJis("Song " + kKatakanaA + " \xb1\xb2", false).japanese) << "with half-width katakana";
  EXPECT_TRUE(ReadAsShiftJis("plain", false).valid);
  EXPECT_FALSE(ReadAsShiftJis("plain", false).japanese);
}

TEST(ShiftJisReading, WesternTextDoesNot) {
  // Accented letters and quotes that pair up as Shift-JIS kanji are valid
  // bytes, but no Japanese text is made of kanji alone and no kana.
  EXPECT_FALSE(ReadAsShiftJis(kMaedchen, false).japanese);
  EXPECT_FALSE(ReadAsShiftJis(kDont, false).japanese);
  for (const std::string bad : {"Caf\xe9", "\x80", "\xa0", "\xfd", "\x82\x7f", "\x82 x"})
    EXPECT_FALSE(ReadAsShiftJis(bad, false).valid) << bad;
}

TEST(ShiftJisReading, ATitleCutInsideACharacterStillReads) {
  const std::string cut = kSakura.substr(0, 5);
  EXPECT_FALSE(ReadAsShiftJis(cut, false).valid);
  EXPECT_TRUE(ReadAsShiftJis(cut, true).valid);
}

class SongTextCodePage : public test::EngineTest {
 protected:
  // A song with a title and one lyric on its second track.
  void LoadSong(const std::string& title, const std::string& lyric) {
    Load({test::Track().Text(0, 3, title).End(480), test::Track().Text(0, 5, lyric).End(480)});
  }
};

TEST_F(SongTextCodePage, AShiftJisSongIsShownInShiftJisOnAWesternSystem) {
  LoadSong("Sakura", kSakura);
  EXPECT_EQ(platform::SongTextCodePage(), CodePage::Cp932) << "the lyric decides with the title";
  LoadSong(kSakura + " " + kSakura, "la");
  EXPECT_EQ(platform::SongTextCodePage(), CodePage::Cp932);
  EXPECT_EQ(platform::AnsiToUtf8(song::SongTitle()), "さくら さくら");
  // Cutting still follows the system's code page.
  EXPECT_FALSE(platform::IsDBCSLeadByte(0x82));
}

TEST_F(SongTextCodePage, WesternOrMixedSongsStayInTheSystemsCodePage) {
  LoadSong(kSakura, "");
  ASSERT_EQ(platform::SongTextCodePage(), CodePage::Cp932);
  LoadSong(kMaedchen, "Don\x92t");
  EXPECT_EQ(platform::SongTextCodePage(), CodePage::Windows1252);
  EXPECT_EQ(platform::AnsiToUtf8(song::SongTitle()), "Mädchen");
  LoadSong(kSakura, "Caf\xe9");
  EXPECT_EQ(platform::SongTextCodePage(), CodePage::Windows1252) << "one lyric that is not Shift-JIS";
}

TEST_F(SongTextCodePage, AJapaneseSystemShowsEverySongInShiftJis) {
  platform::testing::SetSystemLanguageJapanese(true);
  LoadSong(kMaedchen, "");
  EXPECT_EQ(platform::SongTextCodePage(), CodePage::Cp932);
}

// The same Shift-JIS bytes draw the same glyph whether the system is
// Japanese or the song was found to be Shift-JIS; in Windows-1252 they
// would be two other characters.
TEST_F(SongTextCodePage, DetectedTextIsDrawnAsOnAJapaneseSystem) {
  auto draw = [](const std::string& text) {
    std::vector<std::uint16_t> pixels(32 * 16, 0xFFFF);
    platform::DrawText(pixels.data(), 32, 16, 32, 0, 0, text, 1, 16, 0x000000, 0xFFFFFF, true);
    return pixels;
  };
  const auto western = draw(kKatakanaA);
  LoadSong(kKatakanaA, kSakura);
  const auto detected = draw(kKatakanaA);
  platform::testing::SetSystemLanguageJapanese(true);
  const auto japanese = draw(kKatakanaA);
  EXPECT_EQ(detected, japanese);
  EXPECT_NE(detected, western);
}

}  // namespace
