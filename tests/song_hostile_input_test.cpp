// Broken and hostile song files: every one installs or is refused, scans and
// walks without leaving the song buffer (the sanitizer build watches).
#include <gtest/gtest.h>

#include <dirent.h>

#include <random>

#include "smf_builder.h"
#include "song/song_parts.h"
#include "song/song_scan.h"
#include "song/song_store.h"
#include "song/track_cursor.h"
#include "song/track_reader.h"

namespace {

using test::Bytes;
using test::Track;

// Walks every installed track to its end; fails on a walk that never ends.
void WalkAllTracks() {
  for (int slot = 0; slot < song::TrackCount(); ++slot) {
    song::TrackCursor cursor = song::TrackCursor::AtTrack(slot);
    int steps = 0;
    for (;;) {
      const std::int32_t before = cursor.position();
      if (cursor.Next().kind == song::EventKind::End) break;
      ASSERT_GT(cursor.position(), before);
      ASSERT_LE(cursor.position(), song::FillOffset());
      ASSERT_LT(++steps, song::kSongBufferSize) << "walk of slot " << slot << " never ends";
    }
  }
}

void InstallScanWalk(const Bytes& image) {
  test::InstallAndScan(image);
  song::FindSongParts();
  ASSERT_LE(song::FillOffset(), song::kSongBufferSize);
  WalkAllTracks();
  song::ClearTrack(song::TrackCount());
}

std::vector<Bytes> SampleSongs() {
  std::vector<Bytes> songs;
  for (const char* dir : {TONQUILL_TEST_DATA, TONQUILL_SOURCE_DIR "/assets/songs"}) {
    if (DIR* d = opendir(dir)) {
      while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() > 4 && name.substr(name.size() - 4) == ".mid")
          songs.push_back(test::ReadFile(std::string(dir) + "/" + name));
      }
      closedir(d);
    }
  }
  Track t0, t1;
  t0.Text(0, 3, "Built").TimeSignature(0, 3, 2).Tempo(0, 500000).Tempo(960, 400000).End(0);
  for (int i = 0; i < 40; ++i) t1.Event(0, {0x90, static_cast<std::uint8_t>(60 + i % 12), 90}).Event(120, {0x3C, 0});
  t1.Event(0, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}).End(0);
  songs.push_back(test::SmfFile({t0, t1}));
  // Notes whose times run past 2^31 ticks and wrap around.
  Track far;
  for (int i = 0; i < 20; ++i) far.Event(0x0FFFFFFF, {0x90, static_cast<std::uint8_t>(60 + i % 12), 90});
  songs.push_back(test::SmfFile({far.End(0)}));
  return songs;
}

class HostileInput : public ::testing::Test {
 protected:
  void SetUp() override { test::FreshStore(); }
};

TEST_F(HostileInput, TruncatedFiles) {
  for (const Bytes& songFile : SampleSongs()) {
    for (std::size_t cut = 0; cut < songFile.size(); cut += 1 + cut / 8) {
      SCOPED_TRACE(cut);
      InstallScanWalk(Bytes(songFile.begin(), songFile.begin() + static_cast<std::ptrdiff_t>(cut)));
    }
  }
}

TEST_F(HostileInput, RandomMutations) {
  std::mt19937 random(20261207);
  for (const Bytes& songFile : SampleSongs()) {
    for (int round = 0; round < 150; ++round) {
      Bytes mutated = songFile;
      const int flips = 1 + static_cast<int>(random() % 8);
      for (int i = 0; i < flips; ++i)
        mutated[random() % mutated.size()] = static_cast<std::uint8_t>(random());
      SCOPED_TRACE(round);
      InstallScanWalk(mutated);
    }
  }
}

TEST_F(HostileInput, AbsurdChunkLengths) {
  Track t0, t1;
  t0.End(0);
  t1.Event(0, {0x90, 60, 100}).End(10);
  const Bytes good = test::SmfFile({t0, t1});
  const std::size_t lengthFields[] = {4, 18, 18 + 12};  // header, track 0, track 1
  for (std::size_t field : lengthFields) {
    for (std::uint32_t length : {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x00400000u, 0u, 3u}) {
      Bytes broken = good;
      for (int i = 0; i < 4; ++i) broken[field + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
      SCOPED_TRACE(testing::Message() << field << " " << length);
      InstallScanWalk(broken);
    }
  }
  // A foreign chunk before the header whose length points past everything.
  Bytes foreign = test::Chunk("JUNK", {});
  foreign[4] = 0x7F;
  foreign.insert(foreign.end(), good.begin(), good.end());
  const std::int32_t fill = song::FillOffset();
  test::InstallImage(foreign);
  EXPECT_EQ(song::FillOffset(), fill) << "no header found: nothing installed";
}

TEST_F(HostileInput, TrackWithoutEndOfTrackEndsAtTheUsedData) {
  Bytes file = test::HeaderChunk(1, 1, 480);
  const Bytes track = test::Chunk("MTrk", {0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0});
  file.insert(file.end(), track.begin(), track.end());
  test::InstallAndScan(file);
  EXPECT_EQ(song::TrackCount(), 1);
  WalkAllTracks();
  EXPECT_EQ(song::TrackEndTime(0), 480);
}

}  // namespace
