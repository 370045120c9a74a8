// The title that the scan derives from track 0.
#include <gtest/gtest.h>

#include "platform/testing/testing.h"
#include "smf_builder.h"
#include "song/song_scan.h"
#include "song/song_store.h"

namespace {

using test::Track;

class SongScan : public ::testing::Test {
 protected:
  void SetUp() override { test::FreshStore(); }

  void Scan(Track t0, std::uint16_t division = 480) { test::InstallAndScan(test::SmfFile({t0}, division)); }
};

TEST_F(SongScan, ShowsTheWaitCursorWhileItRuns) {
  Scan(Track().End(0));
  EXPECT_STREQ(song::SongTitle(), " ");
  EXPECT_EQ(platform::testing::LastCursorShape(), platform::CursorShape::Arrow);
  EXPECT_GT(platform::testing::WaitCursorCount(), 0);
}

TEST_F(SongScan, TitleIsCutAt32BytesAndNeverHalfACharacter) {
  Scan(Track().Text(0, 3, std::string(40, 'a')).End(0));
  EXPECT_EQ(std::string(song::SongTitle()), std::string(32, 'a'));

  platform::testing::SetSystemLanguageJapanese(true);
  // 31 single bytes, then a double-byte character cut after its lead byte.
  Scan(Track().Text(0, 3, std::string(31, 'b') + "\x82\xA0").End(0));
  EXPECT_EQ(std::string(song::SongTitle()), std::string(31, 'b'));
  // 29 single bytes and a whole character: 31 bytes, kept whole.
  Scan(Track().Text(0, 3, std::string(29, 'c') + "\x82\xA0").End(0));
  EXPECT_EQ(std::string(song::SongTitle()), std::string(29, 'c') + "\x82\xA0");

  // The same bytes on a Western system are two single-byte characters.
  platform::testing::SetSystemLanguageJapanese(false);
  Scan(Track().Text(0, 3, std::string(31, 'b') + "\x82\xA0").End(0));
  EXPECT_EQ(std::string(song::SongTitle()), std::string(31, 'b') + "\x82");
}

TEST_F(SongScan, TitleSearchStopsAfterTheFirstLaterEvent) {
  Scan(Track().Event(0, {0x90, 60, 1}).Text(0, 1, "Found").End(0));
  EXPECT_STREQ(song::SongTitle(), "Found");
  Scan(Track().Event(10, {0x90, 60, 1}).Text(0, 1, "Missed").End(0));
  EXPECT_STREQ(song::SongTitle(), " ");
  Scan(Track().Text(10, 1, "Late").Text(0, 3, "Other").End(0));
  EXPECT_STREQ(song::SongTitle(), "Late");
  Scan(Track().Text(0, 3, std::string("ab\0cd", 5)).End(0));
  EXPECT_STREQ(song::SongTitle(), "ab");
}

}  // namespace
