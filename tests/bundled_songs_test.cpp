// The songs that come with the game: each installs, has a guide track with
// notes on its second track, and shows lyric lines while it plays.
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "files/song_file.h"
#include "game/engine_events.h"
#include "game/main_command.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "song/song_scan.h"
#include "song/song_store.h"

namespace {

class BundledSongs : public test::EngineTest {
 protected:
  void LoadBundled(const char* name) {
    const std::string path = std::string(TONQUILL_SOURCE_DIR "/assets/songs/") + name;
    ASSERT_TRUE(files::SetSongPath(path.c_str()));
    ASSERT_EQ(files::LoadSongFile(), files::LoadResult::Installed) << name;
    game::ShowHappenings(player::RewindSong());
  }
};

TEST_F(BundledSongs, EachHasAGuideAndLyrics) {
  for (const char* name : {"twinkle.mid", "amazing_grace.mid", "sakura.mid"}) {
    SCOPED_TRACE(name);
    LoadBundled(name);
    EXPECT_GE(song::TrackCount(), 3);
    EXPECT_STRNE(song::SongTitle(), " ");
    Start(player::PlayMode::Training);
    EXPECT_LT(player::GuideNote(), 128) << "the second track has notes to follow";
    // The lyrics lie on another track than the muted guide: they show.
    for (int press = 0; press < 3; ++press) {
      FramesUntil(platform::TimeMs() + 3000, 20);
      PressGuideKey(60);
    }
    EXPECT_NE(std::string(player::LyricBuffer()), "");
    game::ShowHappenings(player::StopPlayback(player::kStopByUser));
  }
}

TEST_F(BundledSongs, OneIsInThreeFourAndOneChangesTempo) {
  LoadBundled("amazing_grace.mid");
  EXPECT_EQ(song::MeasureStartOf(1).numerator, 3);
  LoadBundled("twinkle.mid");
  EXPECT_NE(song::MeasureStartOf(0).tempo, song::MeasureStartOf(song::SongMeasureCount() - 1).tempo);
}

TEST_F(BundledSongs, SakuraIsInShiftJis) {
  platform::testing::SetSystemLanguageJapanese(true);
  LoadBundled("sakura.mid");
  EXPECT_EQ(platform::AnsiToUtf8(song::SongTitle()), "さくらさくら");
  Start(player::PlayMode::Demo);
  // The first line comes with the tune, after a measure of accompaniment
  // (four quarters of 789 ms at 76 beats per minute).
  FramesUntil(3150);
  EXPECT_EQ(player::LyricBuffer()[0], '\0');
  FramesUntil(3200);
  EXPECT_EQ(platform::AnsiToUtf8(player::LyricBuffer()), "さ く ら さ く ら");
}

}  // namespace
