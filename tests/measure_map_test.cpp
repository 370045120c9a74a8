// The measure map: measures as the counter numbers them (quarter notes
// grouped by the signature's numerator), with the signature and tempo each
// begins with, read from the conductor track. Division 480 unless said.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "smf_builder.h"
#include "song/measure_map.h"
#include "song/song_scan.h"

namespace {

using test::Track;

struct Start {
  int measure;  // from 0
  std::int32_t tick;
  int numerator, denominator, tempo;
};

struct MapCase {
  std::string name;
  std::vector<Track> tracks;
  std::vector<Start> starts;
  int songMeasures;
  std::uint16_t division = 480;
};

TEST(MeasureMap, MeasuresBeginWhereTheCounterBeginsThem) {
  const Track invention = Track().Tempo(0, 750000).TimeSignature(0, 3, 3).End(2880);
  const std::vector<MapCase> cases = {
      {"an empty track 0", {Track().End(0)}, {{0, 0, 4, 4, 120}, {1, 1920, 4, 4, 120}}, 1},
      {"3/4, 150 from measure 3",
       {Track().TimeSignature(0, 3, 2).Tempo(0, 500000).Tempo(2880, 400000).End(2880)},
       {{0, 0, 3, 4, 120}, {1, 1440, 3, 4, 120}, {2, 2880, 3, 4, 150}, {5, 7200, 3, 4, 150}},
       4},
      {"a tempo inside measure 2 holds from measure 3",
       {Track().Tempo(2000, 400000).End(3000)},
       {{1, 1920, 4, 4, 120}, {2, 3840, 4, 4, 150}},
       3},
      {"6/8 is six quarters", {Track().TimeSignature(0, 6, 3).End(5760)}, {{1, 2880, 6, 8, 120}, {2, 5760, 6, 8, 120}}, 2},
      {"3/8 is three quarters; a last measure of one tick is no measure",
       {Track().TimeSignature(0, 3, 3).End(2881)},
       {{1, 1440, 3, 8, 120}, {2, 2880, 3, 8, 120}},
       2},
      {"3/4 from inside measure 2: that measure goes on",
       {Track().TimeSignature(2400, 3, 2).End(3360)},
       {{0, 0, 4, 4, 120}, {1, 1920, 4, 4, 120}, {2, 3840, 3, 4, 120}, {3, 5280, 3, 4, 120}},
       4},
      {"numerator 0 counts four", {Track().TimeSignature(0, 0, 2).End(0)}, {{1, 1920, 4, 4, 120}}, 1},
      {"461538 us a quarter is 130", {Track().Tempo(0, 461538).End(0)}, {{0, 0, 4, 4, 130}}, 1},
      {"600000 us is 100", {Track().Tempo(0, 600000).End(0)}, {{0, 0, 4, 4, 100}}, 1},
      {"545454 us is 110", {Track().Tempo(0, 545454).End(0)}, {{0, 0, 4, 4, 110}}, 1},
      {"track 0 without tempo and signature: the first track with them",
       {Track().Text(0, 3, "Invention").End(0), Track().End(0), invention},
       {{1, 1440, 3, 8, 80}},
       2},
      {"track 0 with a tempo: the signature of track 1 is not read",
       {Track().Tempo(0, 750000).End(0), Track().TimeSignature(0, 3, 2).End(1920)},
       {{1, 1920, 4, 4, 80}},
       1},
      {"division 0, a denominator byte of 8, 0 us",
       {Track().TimeSignature(0, 1, 8).Tempo(0, 0).End(100)},
       {{0, 0, 1, 128, 120}, {1, 1, 1, 128, 120}},
       100,
       0},
  };
  for (const MapCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::FreshStore();
    test::InstallAndScan(test::SmfFile(c.tracks, c.division));
    for (const Start& expected : c.starts) {
      SCOPED_TRACE(expected.measure);
      const song::MeasureStart start = song::MeasureStartOf(expected.measure);
      EXPECT_EQ(start.tick, expected.tick);
      EXPECT_EQ(start.numerator, expected.numerator);
      EXPECT_EQ(start.denominator, expected.denominator);
      EXPECT_EQ(start.tempo, expected.tempo);
      EXPECT_EQ(song::MeasureOfTick(start.tick), expected.measure);
      EXPECT_EQ(song::BeatOfTick(start.tick), 1);
    }
    EXPECT_EQ(song::SongMeasureCount(), c.songMeasures);
  }
}

// The counter's measure and beat (both from 1) at chosen ticks.
TEST(MeasureMap, EveryTickHasTheMeasureAndBeatTheCounterShows) {
  struct Shown {
    std::int32_t tick;
    int measure, beat;
  };
  const std::vector<std::pair<Track, std::vector<Shown>>> cases = {
      {Track().TimeSignature(0, 6, 3).End(5760), {{2879, 1, 6}, {3071, 2, 1}, {3360, 2, 2}}},
      {Track().TimeSignature(3840, 3, 2).End(3840), {{3839, 2, 4}, {3840, 3, 1}, {5279, 3, 3}, {5280, 4, 1}}},
      {Track().TimeSignature(2400, 3, 2).End(3360), {{2399, 2, 1}, {2400, 2, 1}, {2880, 2, 2}, {3840, 3, 1}}},
  };
  for (const auto& [conductor, shown] : cases) {
    test::FreshStore();
    test::InstallAndScan(test::SmfFile({conductor}));
    for (const Shown& s : shown) {
      SCOPED_TRACE(s.tick);
      EXPECT_EQ(song::MeasureOfTick(s.tick) + 1, s.measure);
      EXPECT_EQ(song::BeatOfTick(s.tick), s.beat);
    }
  }
}

}  // namespace
