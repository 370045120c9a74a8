// Judging against the sound the player hears: the output's latency and the
// player's measured offset, the calibration that measures the offset, and
// the loop that sets its own speed.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "game/button_faces.h"
#include "game/calibration.h"
#include "game/controls.h"
#include "game/lyric_bar.h"
#include "platform/virtual_keys.h"
#include "player/passage_loop.h"
#include "program_fixture.h"
#include "files/settings.h"
#include "game/adaptive_loop.h"
#include "game/heard_timing.h"
#include "game/tap_offset.h"
#include "midi/midi_out.h"
#include "platform/platform.h"
#include "smf_builder.h"

namespace {

namespace pt = platform::testing;
using Outcome = game::TapEstimate::Outcome;

// Clicks heard every 600 ms from 1000, and one tap per click from the
// fifth at the given offsets (cycled).
game::TapEstimate Tapped(const std::vector<std::int64_t>& offsets, int clicks = 16) {
  std::vector<std::int64_t> heard, taps;
  for (int i = 0; i < clicks; ++i) heard.push_back(1000 + 600 * i);
  for (int i = 4; i < clicks; ++i) taps.push_back(heard[static_cast<std::size_t>(i)] + offsets[static_cast<std::size_t>(i) % offsets.size()]);
  return game::EstimateTapOffset(heard, taps, 4);
}

TEST(TapOffset, MedianAndSpreadOfTheTaps) {
  const struct {
    std::vector<std::int64_t> offsets;
    Outcome outcome;
    int offsetMs, spreadMs, taps;
  } cases[] = {
      {{-80}, Outcome::Measured, -80, 0, 12},
      {{250}, Outcome::Measured, 250, 0, 12},
      {{20, 30}, Outcome::Measured, 25, 5, 12},             // an even count: the middle two's mean
      {{-21, -20}, Outcome::Measured, -21, 1, 12},          // -20.5: halves away from zero
      {{10, 10, 10, 290}, Outcome::Uneven, 10, 121, 12},    // a stray tap spreads them: refused
      {{0, 0, 0, 0, 0, 79}, Outcome::Measured, 0, 29, 12},  // a spread under 40 ms is kept
      {{0, 80}, Outcome::Uneven, 40, 40, 12},               // 40 ms is too uneven
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.offsets));
    const game::TapEstimate estimate = Tapped(c.offsets);
    EXPECT_EQ(estimate.outcome, c.outcome);
    EXPECT_EQ(estimate.offsetMs, c.offsetMs);
    EXPECT_EQ(estimate.spreadMs, c.spreadMs);
    EXPECT_EQ(estimate.taps, c.taps);
  }
}

TEST(TapOffset, WhichTapsCount) {
  const std::vector<std::int64_t> heard = {0, 600, 1200, 1800, 2400, 3000, 3600, 4200, 4800, 5400};
  // Taps on the lead-in clicks and second taps on one click do not count;
  // a tap counts with the click it lies nearest.
  const std::vector<std::int64_t> taps = {5, 605, 1205, 1805, 2410, 2420, 3010, 3310, 4210, 4810, 5410};
  const game::TapEstimate estimate = game::EstimateTapOffset(heard, taps, 4);
  EXPECT_EQ(estimate.taps, 6);
  EXPECT_EQ(estimate.outcome, Outcome::Uneven) << "3310 is nearer 3600 than 3000: -290";
  EXPECT_EQ(game::EstimateTapOffset(heard, {2410, 3010, 3610, 4210, 4810}, 4).outcome, Outcome::TooFewTaps);
  EXPECT_EQ(game::EstimateTapOffset({}, taps, 0).outcome, Outcome::TooFewTaps);
}

TEST(AdaptiveLoop, SpeedAfterEachPass) {
  const struct {
    int speed, good, presses, next;
  } cases[] = {
      {60, 10, 10, 70}, {100, 10, 10, 100}, {95, 4, 4, 100},  // all Good: a step up, to full speed at most
      {80, 7, 10, 80},  {80, 9, 10, 80},                      // 70 % or more: stays
      {80, 6, 10, 70},  {50, 0, 10, 50},  {55, 2, 3, 50},     // under 70 %: a step down, to the slowest at least
      {80, 0, 0, 80},                                         // a pass without presses tells nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.speed << " " << c.good << "/" << c.presses);
    EXPECT_EQ(game::SpeedAfterPass(c.speed, c.good, c.presses), c.next);
  }
}

// The figures a press is judged with: the port's latency (the one the
// player set where the port reports none) and each input's own offset.
class HeardFigures : public test::EngineTest {};

TEST_F(HeardFigures, OutputLatencyAndEachInputsOffset) {
  using game::PianoInput;
  int errorNumber = 0;
  files::Settings settings;
  settings.computerKeyboardOffsetMs = -12;
  settings.midiKeyboardOffsetMs = 30;
  settings.externalPortLatencyMs = 45;
  ASSERT_TRUE(files::ChangeSettings(settings, errorNumber)) << errorNumber;
  const struct {
    int reported;  // what the device says
    int output;
  } cases[] = {{8, 8}, {200, 200}, {0, 0}, {platform::kLatencyUnknown, 45}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reported);
    midi::CloseMidiOutPorts();
    pt::SetMidiDevices({.count = 1, .probeSucceeds = false, .latencyMs = {{0, c.reported}}});
    midi::OpenMidiOutPorts("");
    game::ReadOutputLatency();
    EXPECT_EQ(game::FiguresForPress(PianoInput::MidiKeyboard).Total(), c.output + 30);
    EXPECT_EQ(game::LastPressFigures().playerOffsetMs, 30);
    EXPECT_EQ(game::FiguresForPress(PianoInput::ComputerKeyboard).Total(), c.output - 12);
    EXPECT_EQ(game::LastPressFigures().outputLatencyMs, c.output);
  }
  // A latency that changes while a run plays is read again within a second.
  pt::SetMidiDevices({.count = 1, .probeSucceeds = false, .latencyMs = {{0, 150}}});
  EXPECT_EQ(game::OutputLatencyMs(), 45);
  pt::AdvanceTime(1000);
  EXPECT_EQ(game::OutputLatencyMs(), 150);
  game::SetPlayerOffsetOverride(0);
  EXPECT_EQ(game::PlayerOffsetMs(PianoInput::MidiKeyboard), 0) << "the trace's choice over the settings";
}

// --- The keys on the main screen ---

class LatencyKeys : public test::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    test::Track conductor, guide;
    conductor.TimeSignature(0, 4, 2).Tempo(0, 500000).End(4 * 1920);
    for (int measure = 0; measure < 4; ++measure) guide.Event(measure == 0 ? 0 : 1680, {0x90, 60, 90}).Event(240, {0x80, 60, 0});
    guide.End(0);
    StartWithSong({conductor, guide});
  }
  void ShiftF7() {
    pt::SetKeyDown(platform::vk::kShift, true);
    Tap(platform::vk::kF7);
    pt::SetKeyDown(platform::vk::kShift, false);
  }
  static std::string LoopFace() { return game::ButtonFaceText(game::kButtonLoop); }
};

TEST_F(LatencyKeys, ShiftF7TurnsTheSelfSettingLoopOnForTheLoopSet) {
  ShiftF7();
  EXPECT_FALSE(game::AdaptiveLoopOn()) << "no loop set";
  player::SetLoop(0, 1);
  ShiftF7();
  EXPECT_EQ(LoopFace(), "1-2 auto");
  ShiftF7();
  EXPECT_EQ(LoopFace(), "1-2");
  ShiftF7();
  ClickButton(game::kButtonLoop);  // clears the loop while stopped
  EXPECT_EQ(player::LoopStage(), player::kLoopNone);
  player::SetLoop(0, 1);
  Pass();
  EXPECT_FALSE(game::AdaptiveLoopOn()) << "it held for the loop cleared";
  EXPECT_EQ(LoopFace(), "1-2");
}

// F9: sixteen clicks 600 ms apart on channel 10; the player taps A 30 ms
// after each from the fifth, and the computer keyboard's offset becomes
// 30, shown in the bar until a click. F9 again ends a check unchanged.
TEST_F(LatencyKeys, F9MeasuresTheComputerKeyboardsOffset) {
  Tap(platform::vk::kF9);
  ASSERT_TRUE(game::CalibrationRunning());
  EXPECT_EQ(game::LyricBarText(), report::InPlayersLanguage(game::kCalibrationPrompt));
  std::vector<std::uint32_t> clicks;
  for (int frame = 0; frame < 2000 && game::CalibrationRunning(); ++frame) {
    Pass();
    for (const test::Bytes& sent : TakeSent())
      if (sent[0] == 0x99 && sent[2] > 0) clicks.push_back(platform::TimeMs());
    if (clicks.size() > 4 && platform::TimeMs() == clicks.back()) {
      pt::SetTime(clicks.back() + 30);
      KeyDown('A');
      Pass(1);
      KeyUp('A');
    }
  }
  ASSERT_EQ(clicks.size(), 16u);
  for (std::size_t i = 1; i < clicks.size(); ++i) EXPECT_NEAR(clicks[i] - clicks[i - 1], 600.0, 17.0) << i;
  EXPECT_EQ(files::CurrentSettings().computerKeyboardOffsetMs, 30);
  EXPECT_EQ(files::CurrentSettings().midiKeyboardOffsetMs, 0);
  EXPECT_EQ(game::LyricBarText(), "you play 30 ms late: presses will be judged 30 ms earlier");
  Pass();
  EXPECT_EQ(game::LyricBarText(), "you play 30 ms late: presses will be judged 30 ms earlier") << "held";
  Tap(platform::vk::kF9);
  Tap(platform::vk::kF9);
  EXPECT_FALSE(game::CalibrationRunning());
  EXPECT_EQ(files::CurrentSettings().computerKeyboardOffsetMs, 30) << "a check ended early changes nothing";
}

// --- Through the trace ---

std::vector<std::string> CommentLines(const std::string& options, const std::string& word) {
  std::istringstream lines(test::CommandOutput(std::string(TONQUILL_TRACE) + " " + options));
  std::vector<std::string> found;
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("# " + word + " ", 0) == 0) found.push_back(line.substr(word.size() + 3));
  return found;
}

const std::string kTwinkle = std::string(TONQUILL_SOURCE_DIR) + "/assets/songs/twinkle.mid";

TEST(LatencyTrace, PressesAreJudgedAgainstTheSoundHeard) {
  const struct {
    const char* options;
    const char* verdict;
  } cases[] = {
      {"--press-offset-ms 200 --output-latency-ms 200", "Good"},
      {"--press-offset-ms 200", "LATE"},
      {"--press-offset-ms 200 --output-latency-ms 150 --input-offset-ms 50", "Good"},
      {"--press-offset-ms 0 --output-latency-ms 100", "FAST"},
      {"--press-offset-ms 0 --input-offset-ms -100", "LATE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    const std::vector<std::string> verdicts = CommentLines(std::string("--mode game ") + c.options + " " + kTwinkle, "verdict");
    ASSERT_GT(verdicts.size(), 10u);
    for (const std::string& verdict : verdicts) EXPECT_EQ(verdict.substr(verdict.find(' ') + 1), c.verdict);
  }
}

TEST(LatencyTrace, TheCalibrationFindsThePlayersOffset) {
  for (int latency : {0, 200}) {
    for (int offset : {-80, -23, 0, 23, 120, 250}) {
      SCOPED_TRACE(::testing::Message() << "latency " << latency << " offset " << offset);
      const std::vector<std::string> found = CommentLines(
          "--calibrate --press-offset-ms " + std::to_string(offset) + " --output-latency-ms " + std::to_string(latency),
          "calibration");
      ASSERT_EQ(found.size(), 1u);
      int measured = 0, spread = 0;
      std::istringstream(found[0]) >> measured >> spread;
      EXPECT_NEAR(measured, offset, 2) << found[0];
      EXPECT_LT(spread, game::kMostTapSpreadMs);
    }
  }
}

// The loop over measures 2 and 3 of Twinkle Twinkle, played on time or
// late, pass after pass: the speed of each next pass.
TEST(LatencyTrace, TheAdaptiveLoopClimbsAndFalls) {
  const auto speeds = [](const std::string& options) {
    std::vector<int> found;
    for (const std::string& line : CommentLines("--mode training --loop 2-3 --adaptive " + options + " " + kTwinkle, "loop-pass")) {
      int pass = 0, good = 0, presses = 0, speed = 0;
      std::string w1, w2, w3;
      std::istringstream(line) >> pass >> w1 >> good >> w2 >> presses >> w3 >> speed;
      EXPECT_EQ(pass, static_cast<int>(found.size()) + 1) << line;
      EXPECT_GT(presses, 0) << line;
      found.push_back(speed);
    }
    return found;
  };
  EXPECT_EQ(speeds("--speed 60 --loop-passes 7 --press-offset-ms 0"), (std::vector<int>{70, 80, 90, 100, 100, 100, 100}));
  EXPECT_EQ(speeds("--speed 70 --loop-passes 4 --press-offset-ms 300"), (std::vector<int>{60, 50, 50, 50}));
}

}  // namespace
