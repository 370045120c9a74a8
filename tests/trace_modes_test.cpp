// tonquill-trace's simulated player on the bundled songs: its scores are
// compared with the guide's note count read from the file here.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "smf_builder.h"

namespace {

using test::Bytes;

// Note-ons with velocity in the second track, read without the program.
int GuideNotes(const Bytes& file) {
  std::size_t p = 8 + ((file[4] << 24) | (file[5] << 16) | (file[6] << 8) | file[7]);
  for (int track = 0; p + 8 <= file.size(); ++track) {
    const std::size_t length = (file[p + 4] << 24) | (file[p + 5] << 16) | (file[p + 6] << 8) | file[p + 7];
    std::size_t q = p + 8;
    const std::size_t end = q + length;
    int notes = 0;
    std::uint8_t running = 0;
    auto varlen = [&] {
      std::size_t v = 0;
      while (q < end) {
        const std::uint8_t b = file[q++];
        v = v * 128 + (b & 0x7F);
        if (!(b & 0x80)) break;
      }
      return v;
    };
    while (q < end) {
      varlen();
      if (file[q] == 0xFF) {
        q += 2;
        q += varlen();
      } else if (file[q] == 0xF0) {
        ++q;
        q += varlen();
      } else {
        if (file[q] & 0x80) running = file[q++];
        const std::size_t data = (running >= 0xC0 && running <= 0xDF) ? 1 : 2;
        if ((running & 0xF0) == 0x90 && file[q + 1] != 0) ++notes;
        q += data;
      }
    }
    if (track == 1) return notes;
    p = end;
  }
  return 0;
}

struct Press {
  int index;
  int offsetMs;
  std::string verdict;
};

struct TraceRun {
  std::map<std::string, int> verdicts;
  std::vector<std::string> verdictOrder;
  std::vector<Press> presses;
  std::string stats;  // the words after "# stats"
  int score = 0;
  std::string nextScene;
};

TraceRun Trace(const std::string& song, int offset, const std::string& options = "") {
  const std::string command =
      std::string(TONQUILL_TRACE) + " --mode game --press-offset-ms " + std::to_string(offset) + " " + options + " " + song;
  TraceRun run;
  std::istringstream lines(test::CommandOutput(command));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream in(line);
    std::string hash, word, value;
    in >> hash >> word;
    if (hash != "#") continue;
    if (word == "verdict") {
      long time = 0;
      in >> time >> value;
      ++run.verdicts[value];
      run.verdictOrder.push_back(value);
    } else if (word == "press") {
      Press press{};
      in >> press.index >> press.offsetMs >> press.verdict;
      run.presses.push_back(press);
    } else if (word == "stats") {
      std::getline(in, run.stats);
    } else if (word == "score") {
      in >> run.score;
    } else if (word == "next-scene") {
      in >> run.nextScene;
    }
  }
  return run;
}

TEST(TraceModes, TheSimulatedPlayerScoresAsTheRulesSay) {
  for (const char* name : {"twinkle.mid", "amazing_grace.mid", "sakura.mid"}) {
    SCOPED_TRACE(name);
    const std::string song = std::string(TONQUILL_SOURCE_DIR) + "/assets/songs/" + name;
    const int notes = GuideNotes(test::ReadFile(song));
    ASSERT_GT(notes, 10);
    // Below 100 notes the score divides by 99.
    const int perfect = notes >= 99 ? 1000 : notes * 1000 / 99;

    const TraceRun onTime = Trace(song, 0);
    EXPECT_EQ(onTime.verdicts, (std::map<std::string, int>{{"Good", notes}}));
    EXPECT_EQ(onTime.score, perfect);
    EXPECT_EQ(onTime.nextScene, perfect > 100 ? "3" : "4") << "the default fifth score is 100";

    const TraceRun late = Trace(song, 300);
    EXPECT_EQ(late.verdicts, (std::map<std::string, int>{{"LATE", notes}}));
    EXPECT_EQ(late.score, 0);
    EXPECT_EQ(late.nextScene, "4");

    const TraceRun early = Trace(song, -300);
    EXPECT_EQ(early.verdicts, (std::map<std::string, int>{{"FAST", notes}}));
    EXPECT_EQ(early.score, 0);

    EXPECT_EQ(Trace(song, -30).verdicts, (std::map<std::string, int>{{"Good", notes}})) << "30 ms early is in the window";
  }
}

TEST(TraceModes, ANameTypedAtTheEndGoesIntoTheRanking) {
  const std::string song = std::string(TONQUILL_SOURCE_DIR) + "/assets/songs/amazing_grace.mid";
  const int score = GuideNotes(test::ReadFile(song)) * 1000 / 99;  // every press Good
  ASSERT_GT(score, 100) << "it makes the default table";
  const std::string command = std::string(TONQUILL_TRACE) + " --mode game --press-offset-ms 0 --name 'Jo 7x' " + song +
                              " | grep '^# ranking'";
  const std::string line = test::CommandOutput(command);
  // Into the default table of 500 to 100 by its score; letters and spaces
  // typed, anything else not.
  std::vector<std::pair<std::string, int>> table = {{"AAA", 500}, {"BBB", 400}, {"CCC", 300}, {"DDD", 200}, {"EEE", 100}};
  std::size_t place = 0;
  while (table[place].second > score) ++place;
  table.insert(table.begin() + static_cast<long>(place), {"JO X", score});
  table.pop_back();
  std::string expected = "# ranking ";
  for (const auto& [name, value] : table) {
    const std::string digits = std::to_string(value);
    expected += name + std::string(10 - name.size(), ' ') + std::string(5 - digits.size(), '0') + digits + " ";
  }
  EXPECT_EQ(line, expected + "\n");
}

// A tune far beyond the keys' reach (here and in a real-world song, where
// that folder exists) is played with the keys of its notes moved by
// octaves, and the game ends; a song without notes has no part and starts
// no game.
TEST(TraceModes, GamesOnTunesBeyondTheKeysAndWithoutNotes) {
  test::Track conductor, beyond, empty;
  conductor.Tempo(0, 500000).End(0);
  for (const std::uint8_t note : {24, 36, 47, 92, 100, 127}) beyond.Event(240, {0x90, note, 90}).Event(240, {0x80, note, 0});
  beyond.End(0);
  empty.Event(0, {0xB0, 7, 100}).End(960);
  std::vector<std::string> songs = {test::WriteTempFile(test::SmfFile({conductor, beyond}), "beyond.mid")};
  // The real-world songs that lie beside the project (where it has them).
  const std::string realWorld = std::string(TONQUILL_SOURCE_DIR) + "/../shared/songs-real/";
  if (std::ifstream(realWorld + "openmsx_midnight_snow_run.mid")) songs.push_back(realWorld + "openmsx_midnight_snow_run.mid");
  for (const std::string& song : songs) {
    SCOPED_TRACE(song);
    const int notes = GuideNotes(test::ReadFile(song));
    ASSERT_GE(notes, 6);
    const TraceRun played = Trace(song, 0, "--part t2");
    EXPECT_EQ(played.verdicts, (std::map<std::string, int>{{"Good", notes}}));
    EXPECT_NE(played.nextScene, "none") << "the game ends with a score screen";
  }

  const std::string output = test::CommandOutput(std::string(TONQUILL_TRACE) + " --mode game " +
                                                 test::WriteTempFile(test::SmfFile({conductor, empty}), "empty.mid"));
  EXPECT_NE(output.find("# message This song has no part to play"), std::string::npos) << output;
  EXPECT_NE(output.find("# next-scene none"), std::string::npos);
  EXPECT_EQ(output.find("# verdict"), std::string::npos);
}

// A tune of three-note chords, each written top note first: the simulated
// player presses each chord's keys together, and every note is Good.
TEST(TraceModes, ChordsArePressedTogetherAndEveryNoteIsGood) {
  test::Track conductor, chords;
  conductor.Tempo(0, 500000).End(0);
  for (const std::uint8_t root : {60, 62, 65, 67}) {
    const std::uint8_t notes[3] = {static_cast<std::uint8_t>(root + 7), static_cast<std::uint8_t>(root + 4), root};
    for (int i = 0; i < 3; ++i) chords.Event(i == 0 ? 480 : 0, {0x90, notes[i], 90});
    for (int i = 0; i < 3; ++i) chords.Event(i == 0 ? 240 : 0, {0x80, notes[i], 0});
  }
  chords.End(0);
  const TraceRun played = Trace(test::WriteTempFile(test::SmfFile({conductor, chords}), "chords.mid"), 0);
  EXPECT_EQ(played.verdicts, (std::map<std::string, int>{{"Good", 12}}));
  EXPECT_EQ(played.score, 12 * 1000 / 99);
}

// Each judged press's line and the game's statistics: each press's offset
// (from the frame its key went down) lies within a frame of the offset
// asked for.
TEST(TraceModes, EachPressesOffsetAndTheGamesStatistics) {
  for (const char* name : {"twinkle.mid", "amazing_grace.mid", "sakura.mid"}) {
    const std::string song = std::string(TONQUILL_SOURCE_DIR) + "/assets/songs/" + name;
    const int notes = GuideNotes(test::ReadFile(song));
    for (const int asked : {-40, -200, 300}) {
      SCOPED_TRACE(std::string(name) + " at " + std::to_string(asked));
      const TraceRun run = Trace(song, asked);
      ASSERT_EQ(static_cast<int>(run.presses.size()), notes);
      ASSERT_EQ(run.verdictOrder.size(), run.presses.size()) << "one press line for each verdict";
      long sum = 0;
      std::map<std::string, int> counts;
      for (int i = 0; i < notes; ++i) {
        const Press& press = run.presses[static_cast<std::size_t>(i)];
        EXPECT_EQ(press.index, i);
        EXPECT_NEAR(press.offsetMs, asked, 16) << "press " << i;
        EXPECT_EQ(press.verdict, run.verdictOrder[static_cast<std::size_t>(i)]);
        sum += press.offsetMs;
        ++counts[press.verdict];
      }
      // Mean and population standard deviation, rounded to the nearest.
      const double mean = static_cast<double>(sum) / notes;
      double squares = 0;
      for (const Press& press : run.presses) squares += (press.offsetMs - mean) * (press.offsetMs - mean);
      const long spread = std::lround(std::sqrt(squares / notes));
      EXPECT_EQ(run.stats, " good " + std::to_string(counts["Good"]) + " late " + std::to_string(counts["LATE"]) +
                               " fast " + std::to_string(counts["FAST"]) + " mean " + std::to_string(std::lround(mean)) +
                               " spread " + std::to_string(spread));
    }
  }
  // Training traces stay as they were, and no trace adds to a history.
  const std::string training = test::CommandOutput(std::string(TONQUILL_TRACE) + " --mode training " + TONQUILL_SOURCE_DIR +
                                                   "/assets/songs/twinkle.mid | grep -c '^# \\(press\\|stats\\)'");
  EXPECT_EQ(training, "0\n");
  const std::string histories = std::string(std::getenv("XDG_DATA_HOME")) + "/tonquill/history";
  EXPECT_EQ(test::CommandOutput("ls " + histories + " 2>/dev/null | grep -c 'assets%2Fsongs'"), "0\n");
}

TEST(TraceModes, DemoHasNoScoreScreen) {
  const std::string command =
      std::string(TONQUILL_TRACE) + " --mode demo " + TONQUILL_SOURCE_DIR + "/assets/songs/twinkle.mid | grep -c '^# '";
  EXPECT_EQ(test::CommandOutput(command), "2\n") << "only the title and track lines";
}

}  // namespace
