// The song buffer, the track table, and installing songs.
#include <gtest/gtest.h>

#include "smf_builder.h"
#include "song/song_store.h"
#include "song/track_reader.h"

namespace {

using test::Bytes;
using test::Track;

Bytes EmptyTrackData() { return {0x00, 0xFF, 0x2F, 0x00}; }

class SongStore : public ::testing::Test {
 protected:
  void SetUp() override { test::FreshStore(); }
};

TEST_F(SongStore, LayoutAndTheEmptySong) {
  // A command-line song that cannot be opened leaves the store as laid out:
  // an empty header (14 bytes) and 32 empty tracks (12 each).
  song::ResetSongStore();
  song::PrepareSongStore();
  EXPECT_EQ(song::FillOffset(), 398);
  EXPECT_EQ(song::TrackCount(), 0);
  for (int s = 0; s < song::kTrackSlots; ++s) EXPECT_EQ(song::TrackEntry(s), 22 + 12 * s);

  // The empty song's header and track 0 are appended, the laid-out ones cut
  // out (26 bytes): track 0 lies at the end, the others 26 bytes lower.
  song::InstallEmptySong();
  EXPECT_EQ(song::FillOffset(), 398);
  EXPECT_EQ(song::TrackCount(), 1);
  EXPECT_EQ(song::Division(), 480);
  EXPECT_EQ(song::TrackEntry(0), 394);
  for (int s = 1; s < song::kTrackSlots; ++s) EXPECT_EQ(song::TrackEntry(s), 12 * s - 4);
  for (int s = 0; s < song::kTrackSlots; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(test::TrackBytes(s), EmptyTrackData());
  }
}

TEST_F(SongStore, InstallingATwoTrackFileCutsTheOldChunks) {
  Track t0, t1;
  t0.Tempo(0, 500000).End(960);  // track 0 ends last: no re-ending
  t1.Event(0, {0x90, 60, 100}).Event(480, {0x80, 60, 0}).End(0);
  const Bytes file = test::SmfFile({t0, t1});
  const std::int32_t fill = song::FillOffset();

  for (int t = song::TrackCount(); t >= 1; --t) song::ClearTrack(t);
  EXPECT_EQ(song::FillOffset(), fill);
  test::InstallImage(file);

  // The old header (14 bytes) and tracks 0 and 1 (12 each) are cut.
  EXPECT_EQ(song::FillOffset(), fill + static_cast<std::int32_t>(file.size()) - 38);
  EXPECT_EQ(song::TrackCount(), 2);
  EXPECT_EQ(test::TrackBytes(0), t0.data);
  EXPECT_EQ(test::TrackBytes(1), t1.data);
  for (int s = 2; s < song::kTrackSlots; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(song::TrackEntry(s), 12 * s - 4 - 12);
    EXPECT_EQ(test::TrackBytes(s), EmptyTrackData());
  }
}

TEST_F(SongStore, PrefixAndForeignChunksBeforeTheHeader) {
  Track t0;
  t0.Text(0, 3, "Prefixed").End(0);
  const Bytes plain = test::SmfFile({t0});
  Bytes prefixed(128, 0x55);
  prefixed[0] = 0;
  prefixed.insert(prefixed.end(), plain.begin(), plain.end());
  test::InstallAndScan(prefixed);
  EXPECT_EQ(song::TrackCount(), 1);
  EXPECT_EQ(test::TrackBytes(0), t0.data);

  Bytes foreign = test::Chunk("XFIH", Bytes(10, 0x11));
  foreign.insert(foreign.end(), plain.begin(), plain.end());
  test::InstallAndScan(foreign);
  EXPECT_EQ(song::TrackCount(), 1);
  EXPECT_EQ(test::TrackBytes(0), t0.data);
}

TEST_F(SongStore, AChunkBetweenTracksIsTakenAsATrack) {
  Track t0;
  t0.End(0);
  Bytes file = test::HeaderChunk(1, 2, 480);
  for (const Bytes& c : {test::Chunk("MTrk", t0.data), test::Chunk("XYZW", EmptyTrackData())})
    file.insert(file.end(), c.begin(), c.end());
  test::InstallImage(file);
  EXPECT_EQ(song::TrackCount(), 2);
  EXPECT_EQ(test::TrackBytes(1), EmptyTrackData());
}

TEST_F(SongStore, FortyTracksInstallTheFirstThirtyTwo) {
  std::vector<Track> tracks(40);
  for (int i = 0; i < 40; ++i) tracks[static_cast<std::size_t>(i)].Event(0, {0xC0, static_cast<std::uint8_t>(i)}).End(0);
  test::InstallAndScan(test::SmfFile(tracks));
  EXPECT_EQ(song::TrackCount(), 32);
  EXPECT_EQ(test::TrackBytes(31), tracks[31].data);
}

TEST_F(SongStore, SmpteLookingDivisionIsAPlainCount) {
  Track t0;
  t0.End(0);
  test::InstallAndScan(test::SmfFile({t0}, 0xE728));
  EXPECT_EQ(song::Division(), 59176);
}

TEST_F(SongStore, TrackZeroIsReEndedAtTheLatestTrackEnd) {
  Track t0, t1;
  t0.Tempo(0, 500000).End(0);
  t1.Event(0, {0x90, 60, 100}).Event(1920, {0x80, 60, 0}).End(0);
  test::InstallAndScan(test::SmfFile({t0, t1}));
  EXPECT_EQ(song::TrackEndTime(0), 1920);
  Track expected;
  expected.Tempo(0, 500000).End(1920);
  EXPECT_EQ(test::TrackBytes(0), expected.data);

  // Already last: untouched, bytes and all (a long delta form stays long).
  Track longest;  // ends at 1920 = 0x80 0x8F 0x00, a long form of 0x8F 0x00
  longest.data = {0x00, 0xFF, 0x01, 0x00, 0x80, 0x8F, 0x00, 0xFF, 0x2F, 0x00};
  test::InstallAndScan(test::SmfFile({longest, t1}));
  EXPECT_EQ(test::TrackBytes(0), longest.data);
}

TEST_F(SongStore, ClearTrackRules) {
  Track t0, t1;
  t0.End(0);
  t1.Event(0, {0x90, 60, 100}).End(10);
  test::InstallAndScan(test::SmfFile({t0, t1}));
  song::ClearTrack(1);
  EXPECT_EQ(song::TrackCount(), 2);
  EXPECT_EQ(test::TrackBytes(1), t1.data) << "track 1 is only cleared when it is the only one";
  song::ClearTrack(2);
  EXPECT_EQ(song::TrackCount(), 1);
  EXPECT_EQ(test::TrackBytes(1), EmptyTrackData());
  song::ClearTrack(1);
  EXPECT_EQ(song::TrackCount(), 1);
  EXPECT_EQ(test::TrackBytes(0), EmptyTrackData());
  EXPECT_TRUE(song::SongChangedFlag());
}

TEST_F(SongStore, ClearTrackOnAFullBufferChangesNothing) {
  Track t0, t1;
  t0.End(0);
  t1.Event(0, {0x90, 60, 100}).End(10);
  test::InstallAndScan(test::SmfFile({t0, t1}));
  Bytes filler(static_cast<std::size_t>(song::FreeSpaceSize() - 5), 0);
  song::AppendSongBytes(filler.data(), static_cast<std::int32_t>(filler.size()));
  const std::int32_t fill = song::FillOffset();
  const std::int32_t slot = song::TrackEntry(1);
  song::ClearTrack(2);
  EXPECT_EQ(song::FillOffset(), fill);
  EXPECT_EQ(song::TrackEntry(1), slot);
  EXPECT_FALSE(song::SongErrorFlag());
  EXPECT_EQ(test::TrackBytes(1), t1.data);
}

TEST_F(SongStore, ErrorFlagBlocksInstallUntilAReplacementClearsIt) {
  Track t0;
  t0.Text(0, 3, "x").End(0);
  song::SetSongErrorFlag();
  const std::int32_t fill = song::FillOffset();
  test::InstallImage(test::SmfFile({t0}));
  EXPECT_EQ(song::FillOffset(), fill);
  EXPECT_EQ(song::DeleteChunk(song::TrackEntry(5)), 0);
  song::ClearTrack(1);  // refused chunk, then the flag clears
  EXPECT_FALSE(song::SongErrorFlag());
  EXPECT_EQ(song::FillOffset(), fill);
}

TEST_F(SongStore, CopyTrackWithEndReencodesDeltas) {
  // Deltas in a needlessly long form, a running-status note.
  const std::int32_t at = song::FillOffset();
  const Bytes chunk = test::Chunk("MTrk", {0x80, 0x00, 0x90, 60, 100, 0x83, 0x60, 60, 0, 0x00, 0xFF, 0x2F, 0x00});
  song::AppendSongBytes(chunk.data(), static_cast<std::int32_t>(chunk.size()));
  const std::int32_t copy = song::CopyTrackWithEnd(at + 8, 1920);
  const std::int32_t n = song::ReadBigEndian(copy - 4, 4);
  const std::uint8_t* p = song::UsedSongBytes(copy, n);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(Bytes(p, p + n), (Bytes{0x00, 0x90, 60, 100, 0x83, 0x60, 60, 0, 0x8B, 0x20, 0xFF, 0x2F, 0x00}));
}

}  // namespace
