// The measure table and the title that the scan derives from track 0.
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

  void ExpectMeasure(int m, std::int32_t start, int num, int den, int tempo) {
    SCOPED_TRACE(m);
    const song::MeasureEntry& e = song::Measure(m);
    EXPECT_EQ(e.startTick, start);
    EXPECT_EQ(e.numerator, num);
    EXPECT_EQ(e.denominator, den);
    EXPECT_EQ(e.tempo, tempo);
  }
};

TEST_F(SongScan, EmptyTrackFillsTwoMeasures) {
  Scan(Track().End(0));
  ExpectMeasure(0, 0, 4, 4, 120);
  ExpectMeasure(1, 1920, 4, 4, 120);
  EXPECT_STREQ(song::SongTitle(), " ");
  EXPECT_EQ(platform::testing::LastCursorShape(), platform::CursorShape::Arrow);
  EXPECT_GT(platform::testing::WaitCursorCount(), 0);
}

TEST_F(SongScan, ThreeFourWithATempoChange) {
  Scan(Track().TimeSignature(0, 3, 2).Tempo(0, 500000).Tempo(2880, 400000).End(2880));
  const std::int32_t starts[] = {0, 1440, 2880, 4320, 5760, 7200};
  for (int m = 0; m < 6; ++m) ExpectMeasure(m, starts[m], 3, 4, m < 2 ? 120 : 150);
}

TEST_F(SongScan, TempoInsideAMeasureShowsFromTheNext) {
  Scan(Track().Tempo(2000, 400000).End(3000));
  EXPECT_EQ(song::Measure(1).tempo, 120);
  EXPECT_EQ(song::Measure(2).tempo, 150);
}

TEST_F(SongScan, TimeSignatureChangeInsideAMeasure) {
  Scan(Track().TimeSignature(2400, 3, 2).End(2000));
  ExpectMeasure(0, 0, 4, 4, 120);
  ExpectMeasure(1, 2400, 3, 4, 120);
  ExpectMeasure(2, 3840, 3, 4, 120);
}

TEST_F(SongScan, SixEightAndNumeratorZero) {
  Scan(Track().TimeSignature(0, 6, 3).End(1440));
  ExpectMeasure(1, 1440, 6, 8, 120);
  Scan(Track().TimeSignature(0, 0, 2).End(0));
  ExpectMeasure(1, 1920, 4, 4, 120);
}

TEST_F(SongScan, TempoFromMicroseconds) {
  for (auto [us, bpm] : {std::pair{461538u, 130}, {600000u, 100}, {545454u, 110}}) {
    Scan(Track().Tempo(0, us).End(0));
    EXPECT_EQ(song::Measure(0).tempo, bpm) << us;
  }
}

TEST_F(SongScan, LongSongFillsNineHundredNinetyNineEntries) {
  Scan(Track().End(1920 * 1200));
  ExpectMeasure(998, 1920 * 998, 4, 4, 120);
}

TEST_F(SongScan, NoDivisionByZero) {
  // Division 0, a denominator byte of 8 and one of 255, a tempo of 0 us.
  Scan(Track().TimeSignature(0, 1, 8).Tempo(0, 0).End(100), 0);
  EXPECT_EQ(song::Measure(0).tempo, 120);
  Scan(Track().TimeSignature(0, 1, 255).End(100), 1);
  EXPECT_EQ(song::Measure(0).denominator, 128);
  EXPECT_GE(song::Measure(1).startTick, song::Measure(0).startTick);
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
