// The count-in and the metronome: which beat clicks where (worked out by
// hand from the measure map's rules), the clicks a trace prints, and the
// keys that switch them.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "files/settings.h"
#include "game/controls.h"
#include "game/lyric_bar.h"
#include "game/main_command.h"
#include "platform/virtual_keys.h"
#include "player/beat_clicks.h"
#include "player/event_dispatch.h"
#include "player/playback_clock.h"
#include "player/run_step.h"
#include "program_fixture.h"
#include "smf_builder.h"
#include "song/song_parts.h"

namespace {

namespace pt = platform::testing;
using test::Bytes;
using test::Track;

// 4/4 for a measure, then a 3/4 signature at 2400, inside measure 2 (its
// beats count from 1 again there), then measure 3 at 3840; division 480.
TEST(BeatClicks, TheBeatPassedClicksAccentedOnTheCountersFirstBeat) {
  test::FreshStore();
  test::InstallAndScan(test::SmfFile({Track().TimeSignature(2400, 3, 2).End(5280)}));
  struct Case {
    std::int32_t from, to;
    std::optional<player::Click> click;
  };
  const std::vector<Case> cases = {
      {0, 15, player::Click{0, true}},      {15, 480, std::nullopt},           {470, 481, player::Click{480, false}},
      {1900, 1930, player::Click{1920, true}}, {2390, 2401, player::Click{2400, true}}, {2401, 2880, std::nullopt},
      {2880, 2881, player::Click{2880, false}}, {3830, 3850, player::Click{3840, true}}, {500, 500, std::nullopt},
      {600, 100, std::nullopt},  // a jump back clicks nothing
      {0, 1000, player::Click{960, false}},  // a stall: only the latest beat
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + ".." + std::to_string(c.to));
    EXPECT_EQ(player::MetronomeClickBetween(c.from, c.to), c.click);
  }
}

TEST(BeatClicks, ACountInIsOneMeasureOfQuartersAtTheStartsTempoAndTheSpeed) {
  struct Case {
    song::MeasureStart start;
    int speed, beats, beatMs;
  };
  const std::vector<Case> cases = {
      {{0, 4, 4, 120}, 100, 4, 500},  {{0, 4, 4, 120}, 50, 4, 1000}, {{0, 6, 8, 80}, 100, 6, 750},
      {{0, 3, 4, 130}, 100, 3, 461},  // 461538 us a quarter, whole ms as the clock counts
      {{0, 4, 4, 0}, 10, 4, 120000},  // out of range: the slowest tempo and speed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start.tempo);
    const player::CountIn countIn = player::CountInBefore(c.start, c.speed);
    EXPECT_EQ(countIn.beats, c.beats);
    EXPECT_EQ(countIn.beatMs, c.beatMs);
  }
  const player::CountIn four{4, 500};
  for (const auto& [elapsed, due] : std::vector<std::pair<int, int>>{{-1, 0}, {0, 1}, {499, 1}, {500, 2}, {1999, 4}, {9000, 4}})
    EXPECT_EQ(player::CountInClicksDue(four, elapsed), due) << elapsed;
}

// A trace's lines ('#' comments left out unless asked for).
std::string Trace(const Bytes& song, const std::string& options, bool comments = false) {
  const std::string path = test::WriteTempFile(song, "beat.mid");
  int status = -1;
  std::istringstream lines(test::CommandOutput(std::string(TONQUILL_TRACE) + " " + options + " " + path, &status));
  EXPECT_EQ(status, 0);
  std::string out;
  for (std::string line; std::getline(lines, line);)
    if (comments || line.empty() || line[0] != '#') out += line + "\n";
  return out;
}

bool IsClick(const std::string& line) {
  return line.find(" 0 99 4c ") != std::string::npos || line.find(" 0 99 4d ") != std::string::npos;
}

// The lines split into the clicks and the rest.
std::pair<std::string, std::string> SplitClicks(const std::string& trace) {
  std::istringstream lines(trace);
  std::string clicks, rest;
  for (std::string line; std::getline(lines, line);) (IsClick(line) ? clicks : rest) += line + "\n";
  return {clicks, rest};
}

// Every line's time moved on by `ms` (comment lines that carry one too).
std::string Shifted(const std::string& trace, long ms) {
  std::istringstream lines(trace);
  std::string out;
  for (std::string line; std::getline(lines, line);) {
    const bool timed = line.rfind("# verdict ", 0) == 0 || (!line.empty() && line[0] != '#');
    const std::size_t at = line.rfind("# verdict ", 0) == 0 ? 10 : 0;
    if (timed) {
      const std::size_t end = line.find(' ', at);
      line = line.substr(0, at) + std::to_string(std::stol(line.substr(at, end - at)) + ms) + line.substr(end);
    }
    out += line + "\n";
  }
  return out;
}

// 120 beats per minute in 4/4, a tune on track 2 from tick 0 and a band
// note on track 3.
Bytes TuneSong() {
  return test::SmfFile({Track().TimeSignature(0, 4, 2).Tempo(0, 500000).End(1920),
                        Track().Event(0, {0x90, 60, 90}).Event(480, {0x80, 60, 0}).Event(0, {0x90, 62, 90}).Event(480, {0x80, 62, 0}).End(0),
                        Track().Event(240, {0x92, 36, 50}).Event(240, {0x82, 36, 0}).End(0)});
}

// Clicks at 0, 500, 1000 and 1500 ms (each held 50 ms), high first, and
// the song exactly as without the count-in, 2000 ms later; twice those at
// half speed. What a game records and scores is the same.
TEST(BeatTrace, ACountInClicksAMeasureAndTheSongFollowsOnTheNextFirstBeat) {
  const Bytes song = TuneSong();
  struct Case {
    std::string options;
    long beatMs;
  };
  for (const Case& c : std::vector<Case>{{"--mode training --press-offset-ms 0", 500},
                                         {"--mode training --press-offset-ms 300 --speed 50", 1000},
                                         {"--mode game --press-offset-ms 300", 500}}) {
    SCOPED_TRACE(c.options);
    const std::string plain = Trace(song, "--frame-ms 10 " + c.options, true);
    const auto [clicks, rest] = SplitClicks(Trace(song, "--frame-ms 10 --count-in " + c.options, true));
    std::string expected;
    for (long beat = 0; beat < 4; ++beat) {
      const std::string note = beat == 0 ? "4c" : "4d";
      expected += std::to_string(beat * c.beatMs) + " 0 99 " + note + " 64\n";
      expected += std::to_string(beat * c.beatMs + 50) + " 0 99 " + note + " 00\n";
    }
    EXPECT_EQ(clicks, expected);
    EXPECT_EQ(rest, Shifted(plain, 4 * c.beatMs));
  }
  EXPECT_EQ(Trace(song, "--count-in"), Trace(song, "")) << "a demonstration has no count-in";
  // A press 40 ms before the first note, still in the count-in, is judged
  // that early (within a frame), not as on time.
  const std::string early = Trace(song, "--frame-ms 10 --count-in --mode game --press-offset-ms -40", true);
  const std::size_t press = early.find("# press 0 ");
  ASSERT_NE(press, std::string::npos) << early;
  const int offset = std::stoi(early.substr(press + 10));
  EXPECT_LE(offset, -30);
  EXPECT_GE(offset, -50);
}

// 4/4 at 120 for a measure, then 6/8 (six counted quarters) at 60 from
// tick 1920 to the end at 4800. Tick t is passed on the first 10 ms frame
// where 0.96 x ms > t; from the change (re-anchored at 2010, tick 1929) at
// 1929 + 0.48 x (ms - 2010).
Bytes ChangingSong() {
  return test::SmfFile({Track().TimeSignature(0, 4, 2).Tempo(0, 500000).Tempo(1920, 1000000).TimeSignature(0, 6, 3).End(2880),
                        Track().Event(960, {0x90, 60, 90}).Event(240, {0x80, 60, 0}).End(0)});
}

// The clicks' note-ons.
std::string ClickOns(const std::string& trace) {
  std::istringstream lines(SplitClicks(trace).first);
  std::string ons;
  for (std::string line; std::getline(lines, line);)
    if (line.substr(line.size() - 3) != " 00") ons += line + "\n";
  return ons;
}

TEST(BeatTrace, TheMetronomeFollowsTempoSignatureLoopAndHalt) {
  const Bytes song = ChangingSong();
  const std::string demo = Trace(song, "--frame-ms 10 --metronome");
  // Beats at 0, 480, 960, 1440; 1920 (the 6/8 measure) then every 480 at
  // 60: 2400 at 3000 (2404), 2880 at 4000 ... 4320 at 7000; none at the end.
  EXPECT_EQ(ClickOns(demo),
            "10 0 99 4c 64\n510 0 99 4d 64\n1010 0 99 4d 64\n1510 0 99 4d 64\n2010 0 99 4c 64\n"
            "3000 0 99 4d 64\n4000 0 99 4d 64\n5000 0 99 4d 64\n6000 0 99 4d 64\n7000 0 99 4d 64\n");
  EXPECT_EQ(SplitClicks(demo).second, Trace(song, "--frame-ms 10")) << "the song itself is unchanged";
  // A loop over measure 1 reaches its end (1920) at 2010 and jumps back,
  // re-anchored there: the first beat clicks again on the next frame, the
  // second 510 ms after the jump.
  EXPECT_NE(ClickOns(Trace(song, "--frame-ms 10 --metronome --loop 1-1")).find("1510 0 99 4d 64\n2020 0 99 4c 64\n2520 0 99 4d 64\n"),
            std::string::npos);
  // TRAINING halts at the note on beat 3 (1010) until the press 300 ms in:
  // no click meanwhile, and every later click as far behind the demo's as
  // the song is.
  const std::string training = Trace(song, "--frame-ms 10 --metronome --mode training --press-offset-ms 300");
  const std::string trainingOns = ClickOns(training), demoOns = ClickOns(demo);
  ASSERT_EQ(std::count(trainingOns.begin(), trainingOns.end(), '\n'), 10);
  EXPECT_EQ(trainingOns.substr(0, trainingOns.find("1010 0 99 4d 64\n") + 16),
            demoOns.substr(0, demoOns.find("1010 0 99 4d 64\n") + 16));
  const long delay = std::stol(trainingOns.substr(trainingOns.rfind('\n', trainingOns.size() - 2) + 1)) - 7000;
  EXPECT_GE(delay, 300);
  const std::string afterHalt = Shifted(demoOns.substr(demoOns.find("1510 ")), delay);
  EXPECT_EQ(trainingOns.substr(trainingOns.size() - afterHalt.size()), afterHalt)
      << "in step with the song after the halt";
}

// 120 beats per minute, a guide note a beat in.
std::vector<Track> KeySong() {
  return {Track().Tempo(0, 500000).End(1920), Track().Event(480, {0x90, 64, 90}).Event(400, {0x80, 64, 0}).End(0),
          Track().Event(0, {0x91, 40, 90}).Event(400, {0x81, 40, 0}).End(0)};
}

class BeatKeys : public test::ProgramTest {};

// A key acts as a click on its button in the same state.
TEST_F(BeatKeys, EachButtonsKeyActsAsItsClick) {
  StartWithSong(KeySong());
  Tap(platform::vk::kF2);
  EXPECT_EQ(player::PlayState(), player::kPlaying);
  EXPECT_EQ(player::RunMode(), player::PlayMode::Demo);
  for (int key : {platform::vk::kF1, platform::vk::kF3, platform::vk::kF5, platform::vk::kF8}) Tap(key);
  EXPECT_TRUE(pt::OpenDialogs().empty()) << "while a song plays only stop acts";
  EXPECT_EQ(player::RunMode(), player::PlayMode::Demo);
  Tap(platform::vk::kSpace);
  EXPECT_EQ(player::PlayState(), player::kStopped);
  for (const auto& [key, mode] : {std::pair{platform::vk::kF3, player::PlayMode::Training}, std::pair{platform::vk::kF4, player::PlayMode::Game}}) {
    Tap(key);
    EXPECT_EQ(player::RunMode(), mode);
    EXPECT_EQ(player::PlayState(), player::kPlaying);
    Tap(platform::vk::kSpace);
    EXPECT_EQ(player::PlayState(), player::kStopped);
  }
  const int part = song::ChosenPart();
  Tap(platform::vk::kF5);
  EXPECT_NE(song::ChosenPart(), part);
  KeyDown(platform::vk::kShift);
  Tap(platform::vk::kF5);
  KeyUp(platform::vk::kShift);
  EXPECT_EQ(song::ChosenPart(), part) << "Shift+F5 steps back";
  Tap(platform::vk::kF1);
  EXPECT_EQ(pt::OpenDialogs().size(), 1u);
  Tap(platform::vk::kF8);
  EXPECT_EQ(game::MainCommand(), game::kCommandRanking);
}

// F12 and F11 switch, keep the choice in the settings file and say the new
// state in the lyric bar for two seconds.
TEST_F(BeatKeys, TheSwitchesAreKeptAndSaidForTwoSeconds) {
  StartWithSong(KeySong());
  EXPECT_FALSE(player::CountInOn());
  EXPECT_FALSE(player::MetronomeOn());
  struct Case {
    int key;
    const char* said;
    bool countIn, metronome;
  };
  for (const Case& c : {Case{platform::vk::kF12, "Count-in: on", true, false}, Case{platform::vk::kF11, "Metronome: on", true, true},
                        Case{platform::vk::kF12, "Count-in: off", false, true}}) {
    SCOPED_TRACE(c.said);
    Tap(c.key);
    EXPECT_EQ(player::CountInOn(), c.countIn);
    EXPECT_EQ(player::MetronomeOn(), c.metronome);
    EXPECT_EQ(files::CurrentSettings().countIn, c.countIn);
    EXPECT_EQ(files::CurrentSettings().metronome, c.metronome);
    EXPECT_EQ(game::LyricBarText(), c.said);
    Pass(1900);
    EXPECT_EQ(game::LyricBarText(), c.said);
    Pass(200);
    EXPECT_NE(game::LyricBarText(), c.said) << "gone after two seconds";
  }
  files::ResetSettings();
  ASSERT_TRUE(files::LoadSettings().skippedLines.empty());
  EXPECT_FALSE(files::CurrentSettings().countIn);
  EXPECT_TRUE(files::CurrentSettings().metronome) << "read back from the file";
}

}  // namespace
