// A whole game of the real program under Xvfb, played with xdotool keys:
// GAME on Twinkle Twinkle, the game's statistics and its line added to the
// song's history, the name entry scene, a typed name, the ranking scene,
// and the ranking file beside the song.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <vector>
#include <string>

#include "game_window.h"

namespace {

namespace fs = std::filesystem;
using test::RunCommand;
using test::WaitUntil;

// The tune's keys: C C G G A A G, F F E E D D C, G G F F E E D (twice),
// then the first two lines again.
const std::string kFirst = "aagghhg", kSecond = "ffddssa", kMiddle = "ggffdds";
const std::string kTune = kFirst + kSecond + kMiddle + kMiddle + kFirst + kSecond;

class WholeGame : public test::GameWindowTest {
 protected:
  void SetUp() override {
    songFolder_ = RunCommand("mktemp -d \"${TMPDIR:-/tmp}/tonquill-song-XXXXXX\"");
    song_ = songFolder_ + "/twinkle.mid";
    fs::copy_file(TONQUILL_SOURCE_DIR "/assets/songs/twinkle.mid", song_);
    // A table of zeros: any Good press makes it.
    std::ofstream(songFolder_ + "/twinkle.DAT") << "ZERO       0000 ZERO       0000 ZERO       0000 ZERO       0000 ZERO       0000 ";
    // The song's history with one game in it, named after its whole path.
    std::string name;
    for (char c : song_) name += c == '/' ? std::string("%2F") : std::string(1, c);
    history_ = std::string(std::getenv("XDG_DATA_HOME")) + "/tonquill/history/" + name + ".txt";
    fs::create_directories(fs::path(history_).parent_path());
    std::ofstream(history_) << kEarlierGame << "\n";
    StartGame(song_);
  }
  void TearDown() override {
    GameWindowTest::TearDown();
    fs::remove_all(songFolder_);
    fs::remove(history_);
  }
  std::vector<std::string> HistoryLines() const {
    std::vector<std::string> lines;
    std::ifstream in(history_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // The statistics scene's panels: edges where the main screen has its
  // header and its piano, and name entry is black.
  bool StatisticsShown() const {
    return test::NearColour(static_cast<std::uint32_t>(Pixel(100, 8)), 0x46567C) &&
           test::NearColour(static_cast<std::uint32_t>(Pixel(100, 328)), 0x46567C);
  }
  static constexpr const char* kEarlierGame =
      "2026-12-01T10:00:00+0000 part t2 speed 100 score 500 good 50 late 0 fast 49 mean -300 spread 250";
  // The lyric bar and the piano: every accepted press changes one of them.
  std::string PlayArea() const { return Crop(8, 224, 624, 248); }
  // Holds a key until the game has taken it; true when it did.
  bool Press(char key) {
    const std::string before = PlayArea();
    return PlayKey(std::string(1, key), [&] { return PlayArea() != before; });
  }
  // The crops a cell of the name shows while nothing is typed into it (the
  // blinking cursor and the blank), gathered over a blink period.
  std::set<std::string> IdleLooks(int cell) {
    std::set<std::string> looks;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1400);
    while (std::chrono::steady_clock::now() < until) looks.insert(Crop(120 + 40 * cell, 420, 40, 30));
    return looks;
  }
  std::string songFolder_, song_, history_;
};

TEST_F(WholeGame, AGameEndsWithTheNameInTheRankingFile) {
  // The first C on the beat (after a measure of 2.4 s at 100 beats a
  // minute): Good. A machine too busy to keep the beat gets another go.
  const std::string score = Crop(480, 120, 130, 40);
  bool good = false;
  for (int attempt = 0; attempt < 3 && !good; ++attempt) {
    RunCommand("xdotool mousemove " + std::to_string(X(165)) + " " + std::to_string(Y(195)) +
               " mousedown 1 mouseup 1 sleep 2.37 keydown a sleep 0.12 keyup a");
    good = WaitUntil([&] { return Crop(480, 120, 130, 40) != score; }, 3);
    if (!good) ClickButton(1);
  }
  ASSERT_TRUE(good);
  // The rest of the tune, each key held until the game takes it.
  for (std::size_t i = 1; i < kTune.size(); ++i) ASSERT_TRUE(Press(kTune[i])) << "note " << i;

  // The song ends: the game's statistics, once the scene has opened (the
  // picture above the fading prompt stands still).
  ASSERT_TRUE(WaitUntil([&] { return StatisticsShown(); }, 30)) << "the statistics scene";
  ASSERT_TRUE(WaitUntil([&] {
    const std::string before = Crop(0, 0, 640, 440);
    test::SleepMs(100);
    return StatisticsShown() && Crop(0, 0, 640, 440) == before;
  }, 10));
  display_.Screenshot(TONQUILL_BINARY_DIR "/statistics.png");
  // The game is in the song's history, a line after the earlier one.
  const std::vector<std::string> history = HistoryLines();
  ASSERT_EQ(history.size(), 2u);
  EXPECT_EQ(history[0], kEarlierGame);
  // Its words after the date, in pairs: part t2 speed 100 score ...
  std::map<std::string, std::string> played;
  std::istringstream words(history[1].substr(history[1].find(' ') + 1));
  for (std::string key, value; words >> key >> value;) played[key] = value;
  EXPECT_EQ(played["part"] + " " + played["speed"], "t2 100") << history[1];
  EXPECT_EQ(std::stoi(played["good"]) + std::stoi(played["late"]) + std::stoi(played["fast"]), static_cast<int>(kTune.size()))
      << history[1];
  EXPECT_GE(std::stoi(played["good"]), 1) << "the first C on the beat";

  // Space goes on to name entry, which clears the piano away (a Space
  // while the scene still opened does nothing: pressed again).
  bool entry = false;
  for (int attempt = 0; attempt < 5 && !entry; ++attempt) {
    RunCommand("xdotool key --window " + window_ + " space");
    entry = WaitUntil([&] { return Pixel(34, 440) < 0x101010; }, 3);
  }
  ASSERT_TRUE(entry) << "the name entry scene";
  ASSERT_TRUE(WaitUntil([&] { return Crop(50, 370, 300, 30) != Crop(50, 330, 300, 30); }, 10)) << "INPUT YOUR NAME";
  display_.Screenshot(TONQUILL_BINARY_DIR "/name_entry.png");
  for (int cell = 0; cell < 3; ++cell) {
    const std::set<std::string> idle = IdleLooks(cell);
    ASSERT_TRUE(PlayKey(std::string(1, "SAM"[cell]), [&] { return idle.count(Crop(120 + 40 * cell, 420, 40, 30)) == 0; }));
  }
  const std::string prompt = Crop(50, 370, 300, 30);
  ASSERT_TRUE(PlayKey("Return", [&] { return Crop(50, 370, 300, 30) != prompt; }));
  // The ranking scene: its prompt fades in and out under the table.
  // The ranking scene: no prompt for a name, the fading prompt lower down.
  ASSERT_TRUE(WaitUntil([&] {
    const std::string blank = Crop(50, 340, 300, 30);
    return Crop(50, 370, 300, 30) == blank && Crop(50, 430, 300, 30) != blank;
  }, 10)) << "the ranking scene";
  display_.Screenshot(TONQUILL_BINARY_DIR "/ranking.png");

  std::ifstream in(songFolder_ + "/twinkle.DAT", std::ios::binary);
  const std::string ranking((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(ranking.size(), 80u);
  EXPECT_EQ(ranking.substr(0, 10), "SAM       ") << ranking;
  EXPECT_NE(ranking.substr(10, 5), "00000") << "with a score";
  EXPECT_EQ(ranking.substr(16, 15), "ZERO      00000");
  EXPECT_EQ(std::stoi(ranking.substr(10, 5)), std::stoi(played["score"])) << "the history's score is the ranking's";
}

}  // namespace
