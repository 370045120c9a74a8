// SPEED and LOOP: the song's clock at a slower speed (messages, the TEMPO
// panel, judging in the player's milliseconds) and the passage loop (the
// jump back with its chase, TRAINING's halts on each pass, the button).
// At 120 beats per minute and division 480 a tick lasts 500/480 ms.
#include <algorithm>
#include <map>
#include <string>

#include "engine_fixture.h"
#include "game/button_faces.h"
#include "game/computer_keyboard.h"
#include "game/controls.h"
#include "game/engine_events.h"
#include "game/judging.h"
#include "game/main_command.h"
#include "game/panels.h"
#include "game/press_record.h"
#include "platform/virtual_keys.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"
#include "player/run_step.h"
#include "program_fixture.h"

namespace {

namespace pt = platform::testing;
using test::Bytes;
using test::Sent;
using test::Track;

constexpr std::uint32_t kFrameMs = 10;

class Speed : public test::EngineTest {};

// Tempo 120, then 60 from tick 960: ticks 0, 480, 960 and 1440 fall at 0,
// 500, 1000 and 2000 ms at full speed.
TEST_F(Speed, AtHalfSpeedEachMessageComesAtTwiceItsTimeInTheSameOrder) {
  Track conductor, band;
  conductor.Tempo(0, 500000).Tempo(960, 1000000).End(960);
  band.Event(0, {0xC0, 5}).Event(480, {0x90, 60, 100}).Event(480, {0xB0, 7, 90}).Event(480, {0x80, 60, 0}).End(0);
  const std::uint32_t fullSpeedMs[] = {0, 500, 1000, 2000};
  std::vector<Bytes> order[2];
  for (int speed : {100, 50}) {
    SCOPED_TRACE(speed);
    ResetEngine(1);
    Load({conductor, band});
    player::SetPlaybackSpeedPercent(speed);
    pt::SetTime(0);
    Start(player::PlayMode::Demo);
    FramesUntil(5000, kFrameMs);
    const std::vector<Sent> sent = TakeSent();
    ASSERT_GE(sent.size(), 4u);
    for (int i = 0; i < 4; ++i) {
      const auto expected = static_cast<std::int64_t>(fullSpeedMs[i] * 100 / speed);
      EXPECT_LE(std::abs(static_cast<std::int64_t>(sent[i].time) - expected), kFrameMs) << "message " << i;
      order[speed == 100 ? 0 : 1].push_back(sent[i].bytes);
    }
  }
  EXPECT_EQ(order[0], order[1]);
}

// The guide note at tick 960 comes 1000 ms into the song, 2000 ms at half
// speed. The window is 70 ms of the player's time at any speed.
TEST_F(Speed, JudgingCountsThePlayersMilliseconds) {
  Track conductor, guide;
  conductor.Tempo(0, 500000).End(1920);
  guide.Event(960, {0x90, 64, 90}).Event(240, {0x80, 64, 0}).End(0);
  struct Case {
    int speed;
    std::uint32_t earlyMs;
    int verdict;
  };
  for (const Case& c : {Case{50, 60, game::kVerdictGood}, Case{50, 80, game::kVerdictFast},
                        Case{100, 60, game::kVerdictGood}, Case{100, 80, game::kVerdictFast}}) {
    SCOPED_TRACE(std::to_string(c.speed) + "% " + std::to_string(c.earlyMs) + " ms early");
    ResetEngine(1);
    Load({conductor, guide});
    player::SetPlaybackSpeedPercent(c.speed);
    pt::SetTime(0);
    Start(player::PlayMode::Training);
    FramesUntil(1000 * 100 / c.speed - c.earlyMs, 20);
    ASSERT_FALSE(player::HaltedAtGuide());
    PressGuideKey(64);
    EXPECT_EQ(game::LastVerdict(), c.verdict);
  }
}

class SpeedPanels : public test::ProgramTest {};

// 125 beats per minute: the panel shows what the player hears, rounded.
TEST_F(SpeedPanels, TheTempoPanelShowsTheTempoHeard) {
  StartWithSong({Track().Tempo(0, 480000).End(9600)});
  struct Case {
    int clicks;
    int speed;
    int shown;
  };
  for (const Case& c : {Case{0, 100, 125}, Case{1, 90, 113}, Case{4, 50, 63}, Case{1, 100, 125}}) {
    SCOPED_TRACE(c.speed);
    for (int i = 0; i < c.clicks; ++i) ClickButton(game::kButtonSpeed);
    EXPECT_EQ(player::PlaybackSpeedPercent(), c.speed);
    EXPECT_EQ(game::ButtonFaceText(game::kButtonSpeed), std::to_string(c.speed) + "%");
    ClickButton(game::kButtonDemo);
    Pass();
    for (int i = 0, rest = c.shown; i < 3; ++i, rest /= 10)
      EXPECT_TRUE(ShowsArtworkOnBackScreen(game::kTempoX + game::kSmallDigitAdvance * (2 - i), game::kCounterY,
                                           game::SmallDigit(rest % 10, true)))
          << "digit " << 2 - i;
    ClickButton(game::kButtonStop);
  }
}

// 4/4 at 120 and division 480: a measure is 1920 ticks. The loop is
// measures 2 and 3 (ticks 1920 to 5760). Inside it the tempo doubles at
// 2880, the program changes at 3840 and the volume at 4000; a note starts
// at 5280 and is still sounding when the loop ends.
std::vector<Track> PassageSong() {
  Track conductor, band;
  conductor.TimeSignature(0, 4, 2).Tempo(0, 500000).Tempo(2880, 250000).Tempo(2880, 500000).End(1920);
  band.Event(0, {0xC0, 10}).Event(0, {0xB0, 7, 100});
  band.Event(1920, {0x90, 60, 100}).Event(480, {0x80, 60, 0});
  band.Event(1440, {0xC0, 20}).Event(160, {0xB0, 7, 50}).Event(1280, {0x90, 62, 100}).Event(720, {0x80, 62, 0});
  band.End(0);
  return {conductor, band};
}

class Loop : public test::EngineTest {
 protected:
  // Runs frames until the loop has jumped `jumps` times. Returns what was
  // sent, split at each jump's frame: before the first jump, then each
  // pass from its jump's frame on.
  std::vector<std::vector<Sent>> RunPasses(int jumps) {
    std::vector<std::vector<Sent>> passes(1);
    for (std::uint32_t t = kFrameMs; t < 60000; t += kFrameMs) {
      const int before = player::LoopJumpCount();
      FrameAt(t);
      std::vector<Sent> sent = TakeSent();
      if (player::LoopJumpCount() != before) passes.emplace_back();
      passes.back().insert(passes.back().end(), sent.begin(), sent.end());
      if (player::LoopJumpCount() == jumps) break;
    }
    return passes;
  }
  static std::vector<Sent> FromJump(std::vector<Sent> pass) {
    const std::uint32_t jump = pass.front().time;
    for (Sent& s : pass) s.time -= jump;
    return pass;
  }
};

TEST_F(Loop, EachPassSendsTheSameMessagesAtTheSameOffsetsAndNothingSoundsAcrossAJump) {
  Load(PassageSong());
  pt::SetTime(0);
  player::SetLoop(1, 2);
  Start(player::PlayMode::Demo);
  player::SetLoopFollowed(true);
  std::vector<std::vector<Sent>> passes = RunPasses(4);
  ASSERT_EQ(passes.size(), 5u);  // before the first jump, three passes, the fourth jump's frame
  // After each jump's frame nothing is left sounding.
  std::map<int, int> sounding;
  for (std::size_t i = 0; i < passes.size(); ++i) {
    for (const Sent& s : passes[i]) {
      if (i > 0 && s.time != passes[i].front().time) break;
      if (s.bytes[0] == 0x90 && s.bytes[2] != 0) ++sounding[s.bytes[1]];
      else if (s.bytes[0] == 0x80 || s.bytes[0] == 0x90) sounding[s.bytes[1]] = 0;
    }
    if (i > 0) {
      for (const auto& [note, count] : sounding) EXPECT_EQ(count, 0) << "note " << note << " after jump " << i;
    }
    for (const Sent& s : passes[i]) {
      if (i == 0 || s.time == passes[i].front().time) continue;
      if (s.bytes[0] == 0x90 && s.bytes[2] != 0) ++sounding[s.bytes[1]];
      else if (s.bytes[0] == 0x80 || s.bytes[0] == 0x90) sounding[s.bytes[1]] = 0;
    }
  }
  // At the jump: note 62 (started once) goes off twice, as at a stop; then
  // the program and volume in force at measure 2, not those set inside.
  const std::vector<Bytes> jump = {{0x90, 62, 0}, {0x90, 62, 0}, {0xC0, 10}, {0xB0, 7, 100}};
  ASSERT_GE(passes[1].size(), jump.size());
  for (std::size_t i = 0; i < jump.size(); ++i) EXPECT_EQ(passes[1][i].bytes, jump[i]) << i;
  EXPECT_EQ(FromJump(passes[2]), FromJump(passes[1]));
  EXPECT_EQ(FromJump(passes[3]), FromJump(passes[1]));
  // The tempo is back at 120 after each jump: 960 ticks at 120 (1000 ms)
  // and 2400 at 240 (1250 ms) before note 62 starts again.
  int restarted = 0;
  for (const Sent& s : FromJump(passes[1]))
    if (s.bytes == Bytes{0x90, 62, 100}) {
      ++restarted;
      EXPECT_LE(s.time - 2250, 2 * kFrameMs) << s.time;
    }
  EXPECT_EQ(restarted, 1);
}

TEST_F(Loop, TrainingHaltsAtThePassagesGuideNotesOnEveryPass) {
  Track conductor, guide;
  conductor.TimeSignature(0, 4, 2).Tempo(0, 500000).End(7680);
  guide.Event(1920, {0x90, 64, 90}).Event(240, {0x80, 64, 0}).Event(720, {0x90, 67, 90}).Event(240, {0x80, 67, 0});
  guide.Event(2880, {0x90, 72, 90}).Event(240, {0x80, 72, 0}).End(0);
  Load({conductor, guide});
  pt::SetTime(0);
  player::SetLoop(1, 1);
  Start(player::PlayMode::Training);
  player::SetLoopFollowed(true);
  std::uint32_t t = 0;
  auto runUntilHalted = [&] {
    for (int i = 0; i < 1000 && !player::HaltedAtGuide(); ++i) FrameAt(t += kFrameMs);
  };
  for (int pass = 1; pass <= 3; ++pass) {
    SCOPED_TRACE(pass);
    runUntilHalted();
    ASSERT_TRUE(player::HaltedAtGuide());
    EXPECT_EQ(player::GuideNote(), 64);
    EXPECT_EQ(player::CurrentMeasure(), 1);
    EXPECT_EQ(player::LoopJumpCount(), pass - 1);
    PressGuideKey(64);
    FrameAt(t += kFrameMs);
    runUntilHalted();
    EXPECT_EQ(player::GuideNote(), 67);
    PressGuideKey(67);
    EXPECT_EQ(player::GuideNoteToShow(), 64) << "the passage's first note is lit before the jump";
    FrameAt(t += kFrameMs);
  }
}

// A run started with a loop set (while stopped) starts at the loop's first
// measure with what a jump back sends there, and its first pass is every
// pass: the same messages at the same offsets, less the notes a jump ends.
TEST_F(Loop, ARunStartsAtTheLoopAsAJumpBackLeavesIt) {
  Load(PassageSong());
  pt::SetTime(0);
  player::SetLoop(1, 2);
  player::SetLoopFollowed(true);
  Start(player::PlayMode::Demo);
  EXPECT_EQ(player::SongPosition(), 1920);
  EXPECT_EQ(player::CurrentMeasure(), 1);
  const std::vector<Sent> start = TakeSent();
  std::vector<std::vector<Sent>> passes = RunPasses(2);
  ASSERT_EQ(passes.size(), 3u);
  std::vector<Sent> jumped = FromJump(passes[1]);
  const std::vector<Sent> jump(jumped.begin() + 2, jumped.begin() + 4);  // after the two note-offs
  ASSERT_EQ(start.size(), jump.size());
  for (std::size_t i = 0; i < start.size(); ++i) EXPECT_EQ(start[i].bytes, jump[i].bytes) << i;
  std::erase_if(jumped, [](const Sent& s) { return s.time == 0; });
  EXPECT_EQ(passes[0], jumped);
}

// Two ports: track 1 on port 0, track 2 on port 1 and then port 0 again.
// The chase keeps each port's settings apart and sends them in the order
// they were last set, the tracks walked one after the other: a setting
// set again moves to the end, one of another port never replaces it, and
// channel mode messages and what starts on the loop's first tick are not
// sent again.
TEST_F(Loop, TheChaseKeepsEachPortsSettingsInTheOrderLastSet) {
  Track conductor, first, second;
  conductor.TimeSignature(0, 4, 2).Tempo(0, 500000).End(4 * 1920);
  first.Event(0, {0xC0, 5}).Event(0, {0xB0, 7, 100}).Event(0, {0xB0, 10, 64}).Event(100, {0xB0, 7, 90});
  first.Event(0, {0xB0, 121, 0}).Event(1820, {0xC0, 6}).End(0);
  second.Meta(0, 0x21, {1}).Event(0, {0xC0, 9}).Event(0, {0xB0, 7, 80}).Event(0, {0xE0, 0, 64});
  second.Meta(10, 0x21, {0}).Event(0, {0xB0, 7, 70}).End(0);
  ResetEngine(2);
  Load({conductor, first, second});
  pt::SetTime(0);
  player::SetLoop(1, 1);
  player::SetLoopFollowed(true);
  Start(player::PlayMode::Demo);
  const std::vector<std::pair<int, Bytes>> expected = {{0, {0xC0, 5}},     {0, {0xB0, 10, 64}}, {1, {0xC0, 9}},
                                                       {1, {0xB0, 7, 80}}, {1, {0xE0, 0, 64}},  {0, {0xB0, 7, 70}}};
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass == 0 ? "at the start" : "at the jump back");
    std::vector<Sent> sent = pass == 0 ? TakeSent() : FromJump(RunPasses(1).back());
    std::erase_if(sent, [](const Sent& s) { return s.time != 0; });
    std::vector<std::pair<int, Bytes>> chased;
    for (const Sent& s : sent) chased.emplace_back(s.port, s.bytes);
    EXPECT_EQ(chased, expected);
  }
}

// 120 beats per minute: the loop set at the measure the counter shows
// starts where the counter showed it begin (chased to there: a program set
// 400 ticks before is sent again) and ends a measure of quarter notes
// later; a game's press in that measure is recorded with its number.
TEST_F(Loop, MarksStartsAndStatisticsUseTheCountersMeasures) {
  struct Case {
    const char* name;
    Track conductor;
    int measure;  // as the counter shows it
    std::int32_t start, end, note;
  };
  const Case cases[] = {
      {"6/8: six quarters", Track().TimeSignature(0, 6, 3).End(4 * 2880), 2, 2880, 5760, 3071},
      {"3/8: three quarters", Track().TimeSignature(0, 3, 3).End(4 * 1440), 3, 2880, 4320, 3000},
      {"4/4, then 3/4 from 3840", Track().TimeSignature(0, 4, 2).TimeSignature(3840, 3, 2).End(2880), 4, 5280, 6720, 5300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetEngine(1);
    Load({c.conductor, Track().Event(static_cast<std::uint32_t>(c.note), {0x90, 64, 90}).Event(100, {0x80, 64, 0}).End(0),
          Track().Event(static_cast<std::uint32_t>(c.start - 400), {0xC1, 7}).End(0)});
    pt::SetTime(0);
    player::SetLoopFollowed(true);
    Start(player::PlayMode::Demo);
    std::uint32_t t = 0;
    while (player::CurrentMeasure() + 1 != c.measure && t < 20000) FrameAt(t += kFrameMs);
    player::MarkLoopMeasure(player::CurrentMeasure());
    player::MarkLoopMeasure(player::CurrentMeasure());
    EXPECT_EQ(player::LoopEndTick(), c.end);
    std::vector<Sent> jumpFrame;
    while (player::LoopJumpCount() == 0 && t < 20000) {
      FrameAt(t += kFrameMs);
      jumpFrame = TakeSent();
    }
    EXPECT_NE(std::find_if(jumpFrame.begin(), jumpFrame.end(), [](const Sent& s) { return s.bytes == Bytes{0xC1, 7}; }),
              jumpFrame.end());
    EXPECT_EQ(player::SongPosition(), c.start);
    EXPECT_EQ(std::pair(player::CurrentMeasure() + 1, player::CurrentBeat()), std::pair(c.measure, 1));

    game::ShowHappenings(player::StopPlayback(player::kStopByUser));
    player::SetLoopFollowed(false);
    Start(player::PlayMode::Game);
    while (!player::HaltedAtGuide() && t < 40000) FrameAt(t += kFrameMs);
    EXPECT_EQ(player::CurrentMeasure() + 1, c.measure);
    PressGuideKey(64);
    ASSERT_EQ(game::JudgedPresses().size(), 1u);
    EXPECT_EQ(game::JudgedPresses()[0].measure, c.measure);
  }
}

// 4/4 for two measures, then 3/4: a loop over measures 2 and 3 goes back
// to 4/4 at each jump and to 3/4 at the change inside it.
TEST_F(Loop, ALoopOverASignatureChangeBeginsEachPassInItsOwnSignature) {
  Load({Track().TimeSignature(0, 4, 2).TimeSignature(3840, 3, 2).End(5760)});
  pt::SetTime(0);
  player::SetLoop(1, 2);
  player::SetLoopFollowed(true);
  Start(player::PlayMode::Demo);
  std::uint32_t t = 0;
  for (int pass = 0; pass < 3; ++pass) {
    SCOPED_TRACE(pass);
    EXPECT_EQ(player::BeatsPerMeasure(), 4);
    EXPECT_EQ(player::SongPosition(), 1920);
    while (player::SongPosition() < 3900) FrameAt(t += kFrameMs);
    EXPECT_EQ(player::BeatsPerMeasure(), 3);
    EXPECT_EQ(std::pair(player::CurrentMeasure() + 1, player::CurrentBeat()), std::pair(3, 1));
    while (player::LoopJumpCount() == pass && t < 60000) FrameAt(t += kFrameMs);
  }
}

// A song that ends a tick into its third measure has two measures a
// passage can use: a loop over the third is one over the second, which
// jumps back every two seconds rather than on every frame. A song shorter
// than a beat has no passage: it plays once.
TEST_F(Loop, APassageIsAtLeastABeatLong) {
  Load({Track().TimeSignature(0, 4, 2).End(2 * 1920 + 1), Track().Event(3840, {0x90, 60, 100}).End(0)});
  player::SetLoop(2, 2);
  EXPECT_EQ(std::pair(player::LoopFirstMeasure(), player::LoopLastMeasure()), std::pair(1, 1));
  pt::SetTime(0);
  player::SetLoopFollowed(true);
  Start(player::PlayMode::Demo);
  FramesUntil(5000);
  EXPECT_EQ(player::LoopJumpCount(), 2);

  game::ShowHappenings(player::StopPlayback(player::kStopByUser));
  Load({Track().End(400), Track().Event(0, {0x90, 60, 100}).End(0)});
  player::SetLoop(0, 0);
  Start(player::PlayMode::Demo);
  FramesUntil(platform::TimeMs() + 1000);
  EXPECT_EQ(player::LoopJumpCount(), 2);
  EXPECT_EQ(player::PlayState(), player::kStopped);
}

class LoopButton : public test::ProgramTest {
 protected:
  // Passes until the measure panel shows `measure` (counted from 1).
  void PassUntilMeasure(int measure) {
    for (int i = 0; i < 2000 && player::CurrentMeasure() + 1 != measure; ++i) Pass();
    ASSERT_EQ(player::CurrentMeasure() + 1, measure);
  }
  static std::string Face() { return game::ButtonFaceText(game::kButtonLoop); }
  // LOOP's face as the last frame shows it.
  static std::vector<draw::Pixel> FacePixels() {
    const game::SourceRect r = game::ButtonRect(game::kButtonLoop);
    std::vector<draw::Pixel> pixels;
    for (int y = r.top + 3; y < r.bottom - 3; ++y)
      for (int x = r.left + 3; x < r.right - 3; ++x) pixels.push_back(Shown(x, y));
    return pixels;
  }
};

// Eight measures of 4/4 at 120 (2 s each); the tune on the second track has
// a note at the start and one in the last measure.
std::vector<Track> EightMeasures() {
  Track conductor, guide;
  conductor.TimeSignature(0, 4, 2).Tempo(0, 500000).End(8 * 1920);
  guide.Event(0, {0x90, 64, 90}).Event(240, {0x80, 64, 0}).Event(7 * 1920 - 240, {0x90, 64, 90}).End(240);
  return {conductor, guide};
}

TEST_F(LoopButton, MarksClearsKeepsAndIsClearedByAnotherSong) {
  StartWithSong(EightMeasures());
  EXPECT_EQ(Face(), "LOOP");
  const game::SourceRect r = game::ButtonRect(game::kButtonLoop);
  const game::SourceRect inside = {r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
  EXPECT_FALSE(ShowsArtworkOnBackScreen(inside.left, inside.top, inside)) << "the face is drawn";
  ClickButton(game::kButtonDemo);
  ClickButton(game::kButtonLoop);
  EXPECT_EQ(Face(), "1-");
  PassUntilMeasure(3);
  ClickButton(game::kButtonLoop);
  EXPECT_EQ(Face(), "1-3");
  PassUntilMeasure(1);
  EXPECT_EQ(player::LoopJumpCount(), 1) << "back from the end of measure 3";
  ClickButton(game::kButtonLoop);
  EXPECT_EQ(Face(), "LOOP") << "the third click clears";
  PassUntilMeasure(4);
  EXPECT_EQ(player::LoopJumpCount(), 1);

  // A start marked at 4 and an end at 2 in the next run: they swap. The
  // stop keeps the marks.
  ClickButton(game::kButtonLoop);
  ClickButton(game::kButtonStop);
  EXPECT_EQ(Face(), "4-");
  ClickButton(game::kButtonDemo);
  PassUntilMeasure(2);
  ClickButton(game::kButtonLoop);
  EXPECT_EQ(Face(), "2-4");
  ClickButton(game::kButtonStop);
  EXPECT_EQ(Face(), "2-4");

  // A game is the whole song, from the top: the loop is not followed, the
  // button does nothing and its face is dimmed while the game plays.
  const std::vector<draw::Pixel> shownFace = FacePixels();
  ClickButton(game::kButtonGame);
  EXPECT_EQ(player::CurrentMeasure(), 0);
  EXPECT_TRUE(game::ButtonFaceOf(game::kButtonLoop).dimmed);
  EXPECT_NE(FacePixels(), shownFace);
  Tap(game::kNoteKeys[64 - 60]);
  PassUntilMeasure(2);
  ClickButton(game::kButtonLoop);
  EXPECT_EQ(Face(), "2-4");
  PassUntilMeasure(5);
  EXPECT_EQ(player::LoopJumpCount(), 1);
  ClickButton(game::kButtonStop);
  EXPECT_EQ(FacePixels(), shownFace);

  // The loop kept over the stop: the next DEMO starts at its first measure.
  ClickButton(game::kButtonDemo);
  EXPECT_EQ(player::CurrentMeasure(), 1);
  EXPECT_FALSE(game::ButtonFaceOf(game::kButtonLoop).dimmed);
  ClickButton(game::kButtonStop);

  pt::ScriptFileChoice(songPath_);
  ClickButton(game::kButtonFile);
  EXPECT_EQ(player::LoopStage(), player::kLoopNone);
  Pass();
  EXPECT_EQ(Face(), "LOOP");
}

// F6 and F7 act as the buttons do, and only where the buttons act.
TEST_F(LoopButton, F6AndF7WorkSpeedAndLoop) {
  StartWithSong(EightMeasures());
  Tap(platform::vk::kF6);
  EXPECT_EQ(player::PlaybackSpeedPercent(), 90);
  Tap(platform::vk::kF7);
  EXPECT_EQ(Face(), "LOOP") << "nothing to clear while stopped";
  ClickButton(game::kButtonDemo);
  Tap(platform::vk::kF6);
  EXPECT_EQ(player::PlaybackSpeedPercent(), 90) << "the speed changes only while stopped";
  Tap(platform::vk::kF7);
  EXPECT_EQ(Face(), "1-");
  PassUntilMeasure(2);
  Tap(platform::vk::kF7);
  EXPECT_EQ(Face(), "1-2");
  EXPECT_EQ(game::ButtonFaceText(game::kButtonSpeed), "90%");
}

}  // namespace
