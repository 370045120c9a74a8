// Loading song files from disk into the store.
#include <gtest/gtest.h>

#include "files/load_song.h"
#include "files/song_file.h"
#include "smf_builder.h"
#include "song/song_scan.h"
#include "song/song_store.h"

namespace {

using test::Bytes;
using test::Track;

class SongFile : public ::testing::Test {
 protected:
  void SetUp() override { test::FreshStore(); }

  void Load(const std::string& path) {
    ASSERT_TRUE(files::SetSongPath(path.c_str()));
    files::LoadSongFile();
  }
};

TEST_F(SongFile, SmallestFileLoadsAndShorterIsRefused) {
  Bytes smallest = test::HeaderChunk(0, 1, 96);
  const Bytes track = test::Chunk("MTrk", {0x00, 0xFF, 0x2F, 0x00});
  smallest.insert(smallest.end(), track.begin(), track.end());
  ASSERT_EQ(smallest.size(), 26u);
  Load(test::WriteTempFile(smallest));
  EXPECT_FALSE(song::SongErrorFlag());
  EXPECT_EQ(song::TrackCount(), 1);
  EXPECT_EQ(song::Division(), 96);

  Load(test::WriteTempFile(Bytes(smallest.begin(), smallest.begin() + 24)));
  EXPECT_TRUE(song::SongErrorFlag());
}

TEST_F(SongFile, MissingFileLeavesTheFlagClear) {
  Load("/nonexistent/song.mid");
  EXPECT_FALSE(song::SongErrorFlag());
  EXPECT_EQ(song::TrackCount(), 1);
}

TEST_F(SongFile, FileLargerThanTheFreeSpaceIsRefused) {
  Track t0;
  t0.End(0);
  Bytes big = test::SmfFile({t0});
  big.resize(static_cast<std::size_t>(song::FreeSpaceSize()) + 1, 0);
  const std::int32_t fill = song::FillOffset();
  Load(test::WriteTempFile(big));
  EXPECT_TRUE(song::SongErrorFlag());
  EXPECT_EQ(song::FillOffset(), fill);
}

TEST_F(SongFile, TooLongAPathIsRefused) {
  EXPECT_FALSE(files::SetSongPath(std::string(300, 'x').c_str()));
  EXPECT_STREQ(files::SongPath(), "");
  EXPECT_TRUE(files::SetSongPath(std::string(260, 'x').c_str()));
}

TEST_F(SongFile, CommandLineSongIsLoadedAtStartUp) {
  Track t0, t1;
  t0.Text(0, 3, "Command line").TimeSignature(0, 3, 2).End(0);
  t1.Event(0, {0x90, 60, 100}).Event(1440, {0x80, 60, 0}).End(0);
  const std::string path = test::WriteTempFile(test::SmfFile({t0, t1}));
  song::ResetSongStore();
  song::ResetSongScan();
  song::PrepareSongStore();
  files::LoadCommandLineSong(path.c_str());
  EXPECT_STREQ(files::SongPath(), path.c_str());
  EXPECT_EQ(song::TrackCount(), 2);
  EXPECT_STREQ(song::SongTitle(), "Command line");
  EXPECT_EQ(song::MeasureFirstTick(1), 1440);
}

TEST_F(SongFile, UnopenableCommandLineLeavesNoSong) {
  song::ResetSongStore();
  song::ResetSongScan();
  song::PrepareSongStore();
  files::LoadCommandLineSong("-");
  EXPECT_EQ(song::TrackCount(), 0);
}

}  // namespace
