// Every input the fuzzers found a fault with (tests/data/fuzz/) is loaded
// and played again as the fuzzer played it: DEMO, then GAME taking every
// guide note, each to its end or a simulated hour. The sanitizer build of
// this test is what catches a fault coming back.
#include <gtest/gtest.h>

#include <dirent.h>

#include <string>
#include <vector>

#include "engine_fixture.h"
#include "files/song_file.h"
#include "fuzz/song_run.h"
#include "game/engine_events.h"
#include "game/main_command.h"
#include "player/playback_clock.h"
#include "song/song_store.h"

namespace {

std::vector<std::string> FoundInputs() {
  std::vector<std::string> paths;
  if (DIR* d = opendir(TONQUILL_TEST_DATA "/fuzz")) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') paths.push_back(std::string(TONQUILL_TEST_DATA "/fuzz/") + e->d_name);
    closedir(d);
  }
  return paths;
}

class FuzzRegression : public test::EngineTest {};

TEST_F(FuzzRegression, EveryFoundInputLoadsAndPlaysToAnEnd) {
  const auto inputs = FoundInputs();
  ASSERT_FALSE(inputs.empty());
  for (const std::string& path : inputs) {
    SCOPED_TRACE(path);
    ResetEngine(2);
    ASSERT_TRUE(files::SetSongPath(path.c_str()));
    if (files::LoadSongFile() != files::LoadResult::Installed) continue;
    game::ShowHappenings(player::RewindSong());
    EXPECT_LT(fuzz::PlaySongRun(player::PlayMode::Demo, 100), fuzz::kLongestRunMs);
    fuzz::PlaySongRun(player::PlayMode::Game, 100);
    EXPECT_EQ(player::PlayState(), player::kStopped);
  }
}

// The copy of track 0 re-ended at the song's end measures the distance
// between two track times; the reader's times wrap round, and the distance
// must wrap the same way (it overflowed a signed subtraction).
TEST_F(FuzzRegression, TrackZeroCopiedAcrossAWrappedTickSum) {
  ASSERT_TRUE(files::SetSongPath(TONQUILL_TEST_DATA "/fuzz/tick-sum-wraps-in-track-zero-copy.mid"));
  EXPECT_EQ(files::LoadSongFile(), files::LoadResult::Installed);
  EXPECT_GE(song::TrackCount(), 1);
}

}  // namespace
