// A game's statistics: each press's offset as the judging sees it, the mean
// and spread, the measures with the most misses, the plot and the chart in
// pixels, the song's history file, and the statistics scene between the
// game and the score screens.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "draw/eldraw.h"
#include "draw/fill.h"
#include "engine_fixture.h"
#include "files/game_history.h"
#include "files/settings.h"
#include "files/load_song.h"
#include "files/song_file.h"
#include "game/engine_events.h"
#include "game/game_statistics.h"
#include "game/heard_timing.h"
#include "game/judging.h"
#include "game/main_command.h"
#include "game/press_record.h"
#include "game/score_chart.h"
#include "game/statistics_plot.h"
#include "game/statistics_scene.h"
#include "platform/virtual_keys.h"
#include "midi/midi_out.h"
#include "player/playback_clock.h"
#include "program_fixture.h"
#include "scene/scenes.h"
#include "song/song_parts.h"

namespace {

namespace pt = platform::testing;
namespace fs = std::filesystem;
using platform::EventKind;
using test::Track;

constexpr int kGood = game::kVerdictGood, kLate = game::kVerdictLate, kFast = game::kVerdictFast;

// --- Each press's offset, against the judging ---

class PressRecord : public test::EngineTest {};

// 120 beats a minute, 480 ticks a beat: a tick is 1.0417 ms. Guide notes at
// tick 960 (1000 ms, measure 1) and 4000 (measure 3 of 1920 ticks each).
TEST_F(PressRecord, OffsetsOfPressesEarlyOnTimeAndLateAgreeWithTheirVerdicts) {
  struct Case {
    const char* name;
    std::uint32_t frameMs;  // the last frame before the press
    std::uint32_t pressMs;  // the press, after that frame
    int offsetMs;
    int verdict;
  };
  const Case cases[] = {
      {"position 891: 69 ticks, 71.9 ms early", 929, 929, -71, kFast},
      {"position 892: 68 ticks, 70.8 ms early", 930, 930, -70, kGood},
      {"position 960: on the note", 1000, 1000, 0, kGood},
      {"69 ms into the halt", 1000, 1069, 69, kGood},
      {"70 ms into the halt", 1000, 1070, 70, kLate},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetEngine(1);
    Load({Track().End(6000), Track().Event(960, {0x90, 60, 90}).Event(480, {0x80, 60, 0}).Event(2560, {0x90, 62, 90}).End(0)});
    Start(player::PlayMode::Game);
    FramesUntil(c.frameMs, 1);
    pt::SetTime(c.pressMs);
    PressGuideKey(60);
    ASSERT_EQ(game::JudgedPresses().size(), 1u);
    const game::JudgedPress& press = game::JudgedPresses()[0];
    EXPECT_EQ(press.index, 0);
    EXPECT_EQ(press.offsetMs, c.offsetMs);
    EXPECT_EQ(press.verdict, c.verdict);
    EXPECT_EQ(press.verdict, game::LastVerdict());
    EXPECT_EQ(press.tick, 960);
    EXPECT_EQ(press.measure, 1);
  }
  // The second note: the next index, in the third measure.
  FramesUntil(3000, 1);
  PressGuideKey(62);
  ASSERT_EQ(game::JudgedPresses().size(), 2u);
  EXPECT_EQ(game::JudgedPresses()[1].index, 1);
  EXPECT_EQ(game::JudgedPresses()[1].measure, 3);
  // A new run starts a new record.
  game::ShowHappenings(player::StopPlayback(player::kStopByUser));
  Start(player::PlayMode::Game);
  EXPECT_TRUE(game::JudgedPresses().empty());
}

// --- Mean, spread and worst measures, worked out by hand ---

std::vector<game::JudgedPress> Presses(const std::vector<std::pair<int, int>>& offsetAndVerdict, int measure = 1) {
  std::vector<game::JudgedPress> presses;
  for (const auto& [offset, verdict] : offsetAndVerdict)
    presses.push_back({static_cast<int>(presses.size()), offset, verdict, 0, measure});
  return presses;
}

TEST(GameStatistics, MeanAndSpreadWorkedOutByHand) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> presses;
    int good, late, fast, mean, spread;
  };
  const Case cases[] = {
      // Mean 20; deviations -30, 0, 10, 20: squares 1400 / 4 = 350, root 18.7.
      {"a small game", {{-10, kGood}, {20, kGood}, {30, kGood}, {40, kGood}}, 4, 0, 0, 20, 19},
      // Mean (-90 + 0 + 120) / 3 = 10; deviations -100, -10, 110: 22200 / 3 = 7400, root 86.02.
      {"each verdict", {{-90, kFast}, {0, kGood}, {120, kLate}}, 1, 1, 1, 10, 86},
      {"a half early rounds away from zero", {{-1, kGood}, {-2, kGood}}, 2, 0, 0, -2, 1},
      {"a half late too", {{1, kGood}, {2, kGood}}, 2, 0, 0, 2, 1},
      // Mean 0.5 rounds to 1; deviations of 3.5 each way: spread 3.5 rounds to 4.
      {"halves of mean and spread", {{-3, kGood}, {4, kGood}}, 2, 0, 0, 1, 4},
      {"one press", {{-35, kGood}}, 1, 0, 0, -35, 0},
      {"no presses", {}, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const game::PressSummary s = game::SummarizePresses(Presses(c.presses));
    EXPECT_EQ(s.good, c.good);
    EXPECT_EQ(s.late, c.late);
    EXPECT_EQ(s.fast, c.fast);
    EXPECT_EQ(s.meanMs, c.mean);
    EXPECT_EQ(s.spreadMs, c.spread);
  }
}

TEST(GameStatistics, TheMeasuresWithTheMostMisses) {
  // Misses by measure: 2 in 2, 3 in 5, 2 in 7, 1 in 9; measure 3 all Good.
  std::vector<game::JudgedPress> presses;
  for (const auto& [measure, verdict] : std::vector<std::pair<int, int>>{
           {2, kLate}, {3, kGood}, {5, kFast}, {7, kLate}, {2, kFast}, {3, kGood}, {5, kLate}, {9, kFast}, {7, kFast},
           {5, kLate}, {2, kGood}})
    presses.push_back({0, 0, verdict, 0, measure});
  using M = std::vector<std::pair<int, int>>;
  auto pairs = [](const std::vector<game::MeasureMisses>& measures) {
    M out;
    for (const auto& m : measures) out.emplace_back(m.measure, m.misses);
    return out;
  };
  EXPECT_EQ(pairs(game::WorstMeasures(presses)), (M{{5, 3}, {2, 2}, {7, 2}})) << "the earlier of two equal ones first";
  presses.resize(3);
  EXPECT_EQ(pairs(game::WorstMeasures(presses)), (M{{2, 1}, {5, 1}})) << "only measures with misses";
  EXPECT_TRUE(game::WorstMeasures(Presses({{5, kGood}, {-5, kGood}})).empty());
}

// --- The history file ---

TEST(GameHistory, LinesWrittenAndRead) {
  const files::GameRecord game{"2026-12-08T18:30:05+0100", "t1c4", 80, 955, 95, 3, 2, -12, 20, 8, -12};
  const std::string older = "2026-12-08T18:30:05+0100 part t1c4 speed 80 score 955 good 95 late 3 fast 2 mean -12 spread 20";
  const std::string line = older + " output 8 offset -12";
  EXPECT_EQ(files::HistoryLine(game), line + "\n");
  files::GameRecord read;
  ASSERT_TRUE(files::ParseHistoryLine(line, read));
  EXPECT_EQ(files::HistoryLine(read), line + "\n");
  ASSERT_TRUE(files::ParseHistoryLine(older, read)) << "a line kept before the heard figures were";
  EXPECT_EQ(files::HistoryLine(read), older + " output 0 offset 0\n");
  EXPECT_TRUE(files::ParseHistoryLine(line + "\r", read)) << "a line break written elsewhere";
  EXPECT_EQ(files::HistoryLine({"2026-12-08T18:30:05+0100", "a b", 100, 0, 0, 0, 0, 0, 0}).substr(24, 8), " part ? ")
      << "a part ID with a space";
  const char* refused[] = {
      "2026-12-08T18:30:05+0100 part t2 speed 100 score 955 good 95 late 3 fast 2 mean -12",  // cut short
      "2026-12-08T18:30:05+0100 part t2 speed 100 score 955 good 95 late 3 fast 2 mean -12 spread 2x",
      "2026-12-08T18:30:05+0100 part t2 speed 100 score 1001 good 95 late 3 fast 2 mean -12 spread 20",
      "2026-12-08T18:30:05+0100 part t2 speed 100 score 955 good -1 late 3 fast 2 mean -12 spread 20",
      "2026-12-08 18:30:05+0100 part t2 speed 100 score 955 good 95 late 3 fast 2 mean -12 spread 20",
      "2026-12-08T18:30:05+0100 part t2 speed 100 score 955 good 95 late 3 fast 2 mean -12 spread 20 more 1",
      "2026-12-08T18:30:05+0100 part t2 speed 100 score 955 good 95 late 3 fast 2 mean -12  spread 20",
      "2026-12-08T18:30:05+0100 parts t2 speed 100 score 955 good 95 late 3 fast 2 mean -12 spread 20",
      "2026-12-08T18:30:05+0100 part t2 speed 100 score 955 good 95 late 3 fast 2 mean -12 spread 20 output 8",
      "2026-12-08T18:30:05+0100 part t2 speed 100 score 955 good 95 late 3 fast 2 mean -12 spread 20 output -1 offset 0",
      "2026-12-08T18:30:05+0100 part t2 speed 100 score 955 good 95 late 3 fast 2 mean -12 spread 20 offset 0 output 8",
      "# a note of the user's",
      "",
  };
  for (const char* text : refused) {
    SCOPED_TRACE(text);
    files::GameRecord untouched = game;
    EXPECT_FALSE(files::ParseHistoryLine(text, untouched));
    EXPECT_EQ(files::HistoryLine(untouched), line + "\n");
  }
}

// --- The plot and the chart, in pixels ---

class StatisticsPictures : public test::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Start("-");
    scene::ClearBackScreen();
  }
  static draw::Pixel At(int x, int y) { return draw::BackScreen().At(x, y); }
  static constexpr draw::Pixel kGoodDot = draw::RgbToPixel(0x60F08C), kLateDot = draw::RgbToPixel(0xFF7854),
                               kFastDot = draw::RgbToPixel(0x5CC4FF), kGround = draw::RgbToPixel(0x181F34),
                               kBand = draw::RgbToPixel(0x23324A), kAmber = draw::RgbToPixel(0xFFB240),
                               kBlue = draw::RgbToPixel(0x84C8FF);
};

// The plot spans x 56..619 and y 162..306 (centre 234): 200 ms is 72 rows,
// and a dot is 3 x 3. Ticks 0 to 960 run over the centres 57 to 618.
TEST_F(StatisticsPictures, ThePlotsPixelsForPressesEarlyLateAndBeyondIt) {
  game::DrawPressPlot({{0, -100, kFast, 0, 1}, {1, 50, kGood, 480, 1}, {2, 1000, kLate, 960, 2}});
  struct Case {
    const char* name;
    int x, y;
    draw::Pixel pixel;
  };
  const Case cases[] = {
      {"100 ms early: 36 rows above the centre", 57, 198, kFastDot},
      {"its dot's corner", 56, 197, kFastDot},
      {"beside the dot", 59, 198, kGround},
      {"50 ms late, half way: 18 rows below", 337, 252, kGoodDot},
      {"a second late at the end: the bottom row's dot", 618, 305, kLateDot},
      {"the dot's lowest row is the plot's", 618, 306, kLateDot},
      {"nothing below the plot", 618, 307, 0},
      {"nothing right of it", 620, 305, 0},
      {"the band's top, 70 ms early: 25 rows up", 200, 209, kBand},
      {"above the band", 200, 208, kGround},
      {"the band's bottom", 200, 259, kBand},
      {"below the band", 200, 260, kGround},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(At(c.x, c.y), c.pixel);
  }
  const game::PlotPoint early = game::PlotPointOf(960, -5000, 960, 960);
  EXPECT_EQ(early.x, 57) << "one note: at the left";
  EXPECT_EQ(early.y, 163) << "far too early: the top row's dot";
}

// Bars are 17 wide every 27 from x 344, on a base line at 424; 1000 is 60
// rows high, under a faint line.
TEST_F(StatisticsPictures, TheChartOfTheLastTenOfTwelveGames) {
  std::vector<files::GameRecord> earlier;
  for (int g = 1; g <= 11; ++g) earlier.push_back({"2026-12-08T18:30:05+0100", "t2", 100, 10 * g, 0, 0, 0, 0, 0});
  earlier.insert(earlier.begin() + 5, {"2026-12-08T18:30:05+0100", "t3", 100, 999, 0, 0, 0, 0, 0});
  earlier.push_back({"2026-12-08T18:30:05+0100", "t2", 50, 999, 0, 0, 0, 0, 0});
  const std::vector<int> scores = game::ChartedScores(earlier, "t2", 100, 777);
  EXPECT_EQ(scores, (std::vector<int>{30, 40, 50, 60, 70, 80, 90, 100, 110, 777}))
      << "the last nine games of the same part and speed, then this one";
  game::DrawScoreChart({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 0, 777});
  // The last ten: 300 .. 1000, 0 (one row), 777 (46 rows) in amber.
  const int heights[10] = {18, 24, 30, 36, 42, 48, 54, 60, 1, 46};
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(i);
    const int middle = 344 + 27 * i + 8;
    EXPECT_EQ(At(middle, 424 - heights[i]), i == 9 ? kAmber : kBlue);
    EXPECT_EQ(At(middle, 423 - heights[i]), heights[i] == 60 ? kBand : 0) << "above: nothing, or the line at 1000";
    EXPECT_EQ(At(344 + 27 * i + 17, 423), 0) << "the gap after the bar";
  }
  EXPECT_EQ(At(344 + 27 * 10 + 8, 423), 0) << "no eleventh bar";
}

// --- The scene, from the game's end to name entry ---

class StatisticsScene : public test::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Start("-");
    song_ = (SongFolder() / "tune.mid").string();
    // A song whose second track is its part, t2.
    const test::Bytes image = test::SmfFile({Track().End(0), Track().Event(0, {0x90, 60, 90}).Event(480, {0x80, 60, 0}).End(0)});
    std::ofstream(song_, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    ASSERT_TRUE(files::SetSongPath(song_.c_str()));
    ASSERT_EQ(files::LoadSong(false), files::LoadResult::Installed);
  }
  // The song's history file: its whole path, '/' written %2F.
  std::string HistoryFile() const {
    std::string name;
    for (char c : song_) name += c == '/' ? std::string("%2F") : std::string(1, c);
    return std::string(std::getenv("XDG_DATA_HOME")) + "/tonquill/history/" + name + ".txt";
  }
  // A game that ended with presses of these verdicts (no song plays: each
  // offset is 0) and this score.
  void EndGame(const std::vector<int>& verdicts, int score, int next) {
    game::SetScore(score);
    for (const int verdict : verdicts) game::RecordJudgedPress(0, verdict);
    game::BeginGameStatistics(next);
  }
  void Type(int key) {
    pt::PushEvent({EventKind::KeyDown, 0, 0, key});
    Pass();
    pt::PushEvent({EventKind::KeyUp, 0, 0, key});
    Pass();
  }
  void Enter() {
    for (int i = 0; i < 10; ++i) Pass();  // the closing wipe
    ASSERT_EQ(scene::SceneNumber(), scene::kSceneStatistics);
  }
  std::string song_;
};

// A game judged through an output heard 8 ms late by a player whose MIDI
// keyboard offset is -12 ms: the figures stand under the mean (a row the
// scene leaves as bare panel otherwise) and end the history line.
TEST_F(StatisticsScene, TheFiguresPressesWereJudgedWithAreShownAndKept) {
  std::vector<draw::Pixel> rows[2];
  for (const bool heard : {false, true}) {
    SCOPED_TRACE(heard);
    if (heard) {
      files::Settings settings;
      settings.midiKeyboardOffsetMs = -12;
      int errorNumber = 0;
      ASSERT_TRUE(files::ChangeSettings(settings, errorNumber));
      midi::CloseMidiOutPorts();
      pt::SetMidiDevices({.count = 1, .latencyMs = {{0, 8}, {platform::kMidiMapper, 8}}});
      midi::OpenMidiOutPorts("");
      game::ReadOutputLatency();
    }
    game::FiguresForPress(game::PianoInput::MidiKeyboard);
    game::ClearPressRecord();
    EndGame({kGood}, 10, scene::kSceneRanking);
    ASSERT_NO_FATAL_FAILURE(Enter());
    for (int i = 0; i < 12; ++i) Pass();  // the opening wipe
    for (int y = 119; y < 131; ++y)
      for (int x = 20; x < 400; ++x) rows[heard].push_back(draw::BackScreen().At(x, y));
    const std::string kept = test::ReadText(HistoryFile());
    EXPECT_EQ(kept.substr(kept.rfind(" output ")), heard ? " output 8 offset -12\n" : " output 0 offset 0\n");
    scene::ChangeSceneDirectly(scene::kSceneMain);
    Pass();
  }
  EXPECT_NE(rows[0], rows[1]) << "the figures are drawn under the mean";
}

TEST_F(StatisticsScene, TheGameIsAppendedToTheHistoryReadPastDamagedLines) {
  fs::create_directories(fs::path(HistoryFile()).parent_path());
  {
    std::ofstream out(HistoryFile());
    for (int g = 1; g <= 10; ++g) out << "2026-12-0" << g % 10 << "T10:00:00+0000 part t2 speed 100 score " << 50 * g
                                      << " good 1 late 0 fast 0 mean 0 spread 0\n";
    out << "2026-12-09T10:00:00+0000 part t2 speed 100 sco";  // a write cut short
  }
  const std::string before = test::ReadText(HistoryFile());
  EndGame({kGood, kLate}, 505, scene::kSceneNameEntry);
  EXPECT_EQ(game::HistoryProblem(), "");
  const std::string after = test::ReadText(HistoryFile());
  ASSERT_EQ(after.substr(0, before.size()), before) << "appended, nothing rewritten";
  const std::string added = after.substr(before.size());
  ASSERT_GT(added.size(), 25u);
  EXPECT_EQ(added[0], '\n') << "the cut line ends first";
  EXPECT_EQ(added.substr(25), " part t2 speed 100 score 505 good 1 late 1 fast 0 mean 0 spread 0 output 0 offset 0\n");
  const std::vector<files::GameRecord> read = files::ReadHistory(HistoryFile());
  ASSERT_EQ(read.size(), 11u) << "the cut line skipped";
  EXPECT_EQ(read[9].score, 500);
  EXPECT_EQ(read[10].score, 505);
  Enter();
  // The chart: 100 .. 500 and this game's 505, ten bars.
  for (int i = 0; i < 12; ++i) Pass();
  EXPECT_EQ(Shown(344 + 27 * 9 + 8, 424 - 30), draw::RgbToPixel(0xFFB240)) << "505: 30 rows, in amber";
  EXPECT_EQ(Shown(344 + 8, 424 - 6), draw::RgbToPixel(0x84C8FF)) << "100: 6 rows";
}

// A game of another part than the default is kept as that part's and
// charted after that part's games alone.
TEST_F(StatisticsScene, AGameOfAnotherPartIsKeptAndChartedAsItsOwn) {
  const test::Bytes image = test::SmfFile({Track().End(0), Track().Event(0, {0x90, 60, 90}).Event(480, {0x80, 60, 0}).End(0),
                                           Track().Event(0, {0x91, 64, 90}).Event(480, {0x81, 64, 0}).End(0)});
  std::ofstream(song_, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  ASSERT_EQ(files::LoadSong(false), files::LoadResult::Installed);
  song::ChoosePart(song::FindPart("t3"));
  const std::string history = files::HistoryPath(song_.c_str());
  fs::create_directories(fs::path(history).parent_path());
  std::ofstream(history) << "2026-12-08T10:00:00-0500 part t2 speed 100 score 900 good 1 late 0 fast 0 mean 0 spread 0\n"
                            "2026-12-08T10:00:00-0500 part t3 speed 100 score 100 good 1 late 0 fast 0 mean 0 spread 0\n";
  EndGame({kGood}, 505, scene::kSceneRanking);
  const std::vector<files::GameRecord> read = files::ReadHistory(history);
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[2].part, "t3");
  EXPECT_EQ(read[2].score, 505);
  Enter();
  for (int i = 0; i < 12; ++i) Pass();
  // Two bars: t3's 100 (6 rows), then this game's 505 (30 rows, amber).
  EXPECT_EQ(Shown(344 + 8, 424 - 6), draw::RgbToPixel(0x84C8FF));
  EXPECT_NE(Shown(344 + 8, 424 - 7), draw::RgbToPixel(0x84C8FF)) << "not t2's 900";
  EXPECT_EQ(Shown(344 + 27 + 8, 424 - 30), draw::RgbToPixel(0xFFB240));
}

// What keeps a game out of the history is said in the player's language,
// with no message box, and the scene goes on.
TEST_F(StatisticsScene, AHistoryThatCannotBeWrittenIsSaidAndTheSceneGoesOn) {
  const std::string data = std::getenv("XDG_DATA_HOME");
  const std::string blocked = (SongFolder() / "a-file").string();  // no folder can be made under it
  std::ofstream(blocked) << "x";
  const struct {
    const char* what;
    std::string dataHome;
    bool japanese;
    std::string said;
  } cases[] = {
      {"a data folder under a file", blocked, false, std::strerror(ENOTDIR)},
      {"a pipe", data, false, "not a regular file: a pipe or a device"},
      {"a pipe, in Japanese", data, true, "通常のファイルではありません（パイプまたはデバイス）"},
  };
  const std::string history = files::HistoryPath(song_.c_str());
  fs::create_directories(fs::path(history).parent_path());
  mkfifo(history.c_str(), 0600);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    pt::SetSystemLanguageJapanese(c.japanese);
    setenv("XDG_DATA_HOME", c.dataHome.c_str(), 1);
    EndGame({kGood}, 10, scene::kSceneRanking);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    EXPECT_EQ(game::HistoryProblem(), c.said);
    Enter();
    for (int i = 0; i < 12; ++i) Pass();
    Type(platform::vk::kSpace);
    EXPECT_EQ(scene::NextScene(), scene::kSceneRanking);
    EXPECT_TRUE(pt::Boxes().empty()) << "no message box";
    for (int i = 0; i < 12; ++i) Pass();
  }
}

TEST_F(StatisticsScene, SpaceOrAClickGoOnOnlyOnceTheSceneHasOpened) {
  for (const bool click : {false, true}) {
    SCOPED_TRACE(click ? "a click" : "Space");
    EndGame({kGood}, 600, scene::kSceneNameEntry);
    Enter();
    Pass();
    EXPECT_EQ(scene::TransitionDirection(), -1) << "the opening wipe";
    for (int i = 0; i < 4; ++i) {  // its next eight frames
      if (click) Click(320, 240);
      else Type(platform::vk::kSpace);
    }
    Pass();
    EXPECT_EQ(scene::SceneNumber(), scene::kSceneStatistics) << "nothing acts while it opens";
    EXPECT_EQ(scene::TransitionDirection(), 0);
    if (click) Click(320, 240);
    else Type(platform::vk::kSpace);
    EXPECT_EQ(scene::NextScene(), scene::kSceneNameEntry);
    for (int i = 0; i < 12; ++i) Pass();
    ASSERT_EQ(scene::SceneNumber(), scene::kSceneNameEntry);
  }
}

TEST_F(StatisticsScene, TheTextsAreInThePlayersLanguage) {
  std::string looks[2];
  for (const bool japanese : {false, true}) {
    pt::SetSystemLanguageJapanese(japanese);
    EndGame({kGood}, 10, scene::kSceneRanking);
    Enter();
    for (int i = 0; i < 12; ++i) Pass();
    // The mean's caption, whose text differs between the languages.
    for (int y = 107; y < 123; ++y)
      for (int x = 20; x < 120; ++x) looks[japanese] += static_cast<char>(Shown(x, y) & 0xFF);
    Type(platform::vk::kSpace);
    for (int i = 0; i < 12; ++i) Pass();
  }
  EXPECT_NE(looks[0], looks[1]);
}

}  // namespace

