// A whole game on the testing backend, as a player plays it: FILE loads a
// bundled song, GAME, every guide note played as it comes, the game's
// statistics and its line in the song's history, the name typed, the
// ranking file on disk; RANK shows it again and Delete clears it.
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "files/ranking.h"
#include "game/computer_keyboard.h"
#include "game/controls.h"
#include "game/judging.h"
#include "platform/virtual_keys.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "player/run_step.h"
#include "program_fixture.h"
#include "scene/scenes.h"

namespace {

namespace pt = platform::testing;
namespace fs = std::filesystem;
using platform::EventKind;

class WholeGame : public test::ProgramTest {
 protected:
  void Type(int key) {
    pt::PushEvent({EventKind::KeyDown, 0, 0, key, key >= 'A' && key <= 'Z' ? key : 0});
    Pass();
    pt::PushEvent({EventKind::KeyUp, 0, 0, key});
    Pass();
  }
  // Plays the guide: each note's key goes down the moment the song halts
  // at it, and up once it sounds. Returns the notes played.
  int PlayTheGuide() {
    int played = 0;
    for (int frame = 0; frame < 20000 && player::PlayState() == player::kPlaying; ++frame) {
      if (player::HaltedAtGuide() && !player::GuideOver()) {
        const int key = game::kNoteKeys[player::GuideNote() - 60];
        const int before = game::NotesPlayed();
        KeyDown(key);
        if (!PassUntilHolds([&] { return game::NotesPlayed() != before; }, 100)) return -1;
        KeyUp(key);
        ++played;
      }
      Pass();
    }
    return played;
  }
  // The lines of the one history file in the data folder, which holds the
  // song's whole path in its name.
  static std::vector<std::string> HistoryLines() {
    std::vector<std::string> lines;
    const fs::path folder = fs::path(std::getenv("XDG_DATA_HOME")) / "tonquill" / "history";
    for (const auto& entry : fs::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      if (name.find("%2Ftwinkle.mid.txt") == std::string::npos) continue;
      std::ifstream in(entry.path());
      for (std::string line; std::getline(in, line);) lines.push_back(line);
    }
    return lines;
  }
};

TEST_F(WholeGame, FromFileToTheRankingOnDiskAndBack) {
  const fs::path song = SongFolder() / "twinkle.mid";
  fs::copy_file(TONQUILL_SOURCE_DIR "/assets/songs/twinkle.mid", song);
  Start("-");
  pt::ScriptFileChoice(song.string());
  ClickButton(game::kButtonFile);
  ClickButton(game::kButtonGame);

  const int notes = PlayTheGuide();
  EXPECT_EQ(notes, 42);
  EXPECT_EQ(game::Misses(), 0) << "every press Good";
  EXPECT_EQ(game::Score(), 42 * 1000 / 99);
  // The song's end shows the game's statistics, and the game is added to
  // the song's history: each key went down the moment the song halted, and
  // is judged from that moment.
  for (int i = 0; i < 200 && scene::SceneNumber() != scene::kSceneStatistics; ++i) Pass();
  ASSERT_EQ(scene::SceneNumber(), scene::kSceneStatistics);
  const std::vector<std::string> history = HistoryLines();
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history[0].substr(24), " part t2 speed 100 score 424 good 42 late 0 fast 0 mean 0 spread 0 output 0 offset 0");
  for (int i = 0; i < 12; ++i) Pass();  // the opening wipe
  Type(0x20);
  // Then name entry: 424 beats the fifth, 100.
  for (int i = 0; i < 200 && scene::SceneNumber() != scene::kSceneNameEntry; ++i) Pass();
  ASSERT_EQ(scene::SceneNumber(), scene::kSceneNameEntry);
  for (int i = 0; i < 12; ++i) Pass();  // the reveal
  for (char c : std::string("TONY")) Type(c);
  Type(platform::vk::kReturn);
  const std::string expected = "AAA       00500 TONY      00424 BBB       00400 CCC       00300 DDD       00200 ";
  EXPECT_EQ(test::ReadText(SongFolder() / "twinkle.DAT"), expected);

  // The ranking, then back to the main screen with Space.
  for (int i = 0; i < 40 && scene::SceneNumber() != scene::kSceneRanking; ++i) Pass();
  ASSERT_EQ(scene::SceneNumber(), scene::kSceneRanking);
  for (int i = 0; i < 12; ++i) Pass();
  Type(0x20);
  for (int i = 0; i < 40 && scene::SceneNumber() != scene::kSceneMain; ++i) Pass();
  ASSERT_EQ(scene::SceneNumber(), scene::kSceneMain);
  Pass();

  // RANK shows the table again: TONY's T in the second row.
  ClickButton(game::kButtonRank);
  for (int i = 0; i < 40 && scene::SceneNumber() != scene::kSceneRanking; ++i) Pass();
  for (int i = 0; i < 12; ++i) Pass();
  EXPECT_TRUE(ShowsArtworkOnBackScreen(100, 145, {443, 688, 463, 718})) << "T of TONY";

  pt::ScriptAnswers({true});
  Type(0x2E);
  EXPECT_EQ(test::ReadText(SongFolder() / "twinkle.DAT"), std::string(files::kDefaultRankingText));
}

// At 80 % the game is judged and scored as at full speed, but its score is
// not comparable: no name entry, no ranking file, and the statistics say so
// (no box to dismiss first).
TEST_F(WholeGame, ASlowerGameScoresButStaysOutOfTheRanking) {
  const fs::path song = SongFolder() / "twinkle.mid";
  fs::copy_file(TONQUILL_SOURCE_DIR "/assets/songs/twinkle.mid", song);
  Start("-");
  pt::ScriptFileChoice(song.string());
  ClickButton(game::kButtonFile);
  ClickButton(game::kButtonSpeed);
  ClickButton(game::kButtonSpeed);
  ASSERT_EQ(player::PlaybackSpeedPercent(), 80);
  ClickButton(game::kButtonGame);

  EXPECT_EQ(PlayTheGuide(), 42);
  EXPECT_EQ(game::Score(), 42 * 1000 / 99) << "a score that would enter the ranking at full speed";
  // The game's statistics (kept in the history at its speed), then back to
  // the main screen.
  for (int i = 0; i < 200 && scene::SceneNumber() != scene::kSceneStatistics; ++i) Pass();
  ASSERT_EQ(scene::SceneNumber(), scene::kSceneStatistics);
  EXPECT_TRUE(pt::Boxes().empty());
  const std::vector<std::string> history = HistoryLines();
  ASSERT_EQ(history.size(), 1u);
  EXPECT_NE(history[0].find(" part t2 speed 80 score 424 "), std::string::npos) << history[0];
  for (int i = 0; i < 12; ++i) Pass();  // the opening wipe
  Type(0x20);
  for (int i = 0; i < 200 && scene::SceneNumber() != scene::kSceneMain; ++i) Pass();
  EXPECT_EQ(scene::SceneNumber(), scene::kSceneMain);
  EXPECT_EQ(game::Score(), 42 * 1000 / 99);
  EXPECT_FALSE(fs::exists(SongFolder() / "twinkle.DAT"));
}

}  // namespace
