// The guide track in training and game, the halt at each guide note, and
// the judging of presses with the score.
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "game/engine_events.h"
#include "game/judging.h"
#include "game/main_command.h"
#include "platform/platform.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "player/run_step.h"

namespace {

using test::Bytes;
using test::Sent;
using test::Track;
constexpr auto kTraining = player::PlayMode::Training;

class Guide : public test::EngineTest {
 protected:
  // Conductor, a guide with notes at 480 and 960 (a velocity-0 note-on at
  // 100 first), and an accompaniment with events at 100, 300, 470 and 500.
  void LoadGuideSong() {
    Load({Track().End(4000),
          Track().Event(100, {0x90, 0x30, 0}).Event(380, {0x90, 0x3E, 0x40}).Event(240, {0x80, 0x3E, 0})
              .Event(240, {0x90, 0x40, 0x50}).Event(240, {0x80, 0x40, 0}).End(0),
          Track().Event(100, {0xC2, 1}).Event(200, {0xC2, 2}).Event(170, {0xC2, 3}).Event(30, {0xC2, 4}).End(0)});
  }
  static std::vector<test::Bytes> BytesOf(const std::vector<Sent>& sent) {
    std::vector<test::Bytes> out;
    for (const Sent& s : sent) out.push_back(s.bytes);
    return out;
  }
};

TEST_F(Guide, FirstGuideNoteSkipsVelocityZero) {
  LoadGuideSong();
  Start(kTraining);
  EXPECT_EQ(player::GuideNote(), 0x3E);
  EXPECT_EQ(player::GuideTick(), 480);
  EXPECT_EQ(player::GuideVelocity(), 0x40);
}

TEST_F(Guide, EarlyPressMovesTheSongToTheGuideNote) {
  LoadGuideSong();
  Start(kTraining);
  FramesUntil(320);  // position 307
  ASSERT_LT(player::SongPosition(), 480);
  TakeSent();
  PressGuideKey(60);
  // Everything before 480 at once, then the guide note itself.
  EXPECT_EQ(BytesOf(TakeSent()), (std::vector<test::Bytes>{{0xC2, 3}, {0x90, 0x3E, 0x50}}));
  EXPECT_EQ(player::SongPosition(), 480);
  EXPECT_EQ(player::GuideTick(), 960);
  std::int32_t last = player::SongPosition();
  for (std::uint32_t t = 330; t <= 700; t += 10) {
    FrameAt(t);
    EXPECT_GE(player::SongPosition(), last);
    last = player::SongPosition();
  }
  EXPECT_EQ(BytesOf(TakeSent()), (std::vector<test::Bytes>{{0xC2, 4}})) << "tick 500, and the guide's note-off muted";
}

TEST_F(Guide, GuideTrackIsSilentInTrainingAndHeardInDemo) {
  LoadGuideSong();
  Start(player::PlayMode::Demo);
  FramesUntil(1500);
  int guideMessages = 0;
  for (const Sent& s : TakeSent()) guideMessages += (s.bytes[0] & 0x0F) == 0 ? 1 : 0;
  EXPECT_EQ(guideMessages, 5);

  game::ShowHappenings(player::StopPlayback(player::kStopByUser));
  Start(kTraining);
  FramesUntil(3000);
  PressGuideKey(60);
  FramesUntil(5000);
  PressGuideKey(60);
  FramesUntil(7000);
  for (const Sent& s : TakeSent()) {
    if ((s.bytes[0] & 0xF0) == 0xF0 || (s.bytes[0] & 0x0F) != 0) continue;
    // The player's two notes; the second is turned off when the song ends.
    EXPECT_TRUE(s.bytes == test::Bytes({0x90, 0x3E, 0x50}) || s.bytes == test::Bytes({0x90, 0x40, 0x50}) ||
                s.bytes == test::Bytes({0x90, 0x40, 0x00}))
        << "only the player's notes on channel 1: " << testing::PrintToString(s);
  }
  EXPECT_TRUE(player::GuideOver());
  EXPECT_EQ(player::TakeGuideNote(65).note, 65) << "after the end a key sounds its own note";
}

TEST_F(Guide, RunningStatusInTheGuideTrack) {
  Load({Track().End(4000), Track().Event(0, {0xC1, 3}).Event(480, {0x91, 60, 90}).Event(480, {62, 80}).End(0),
        Track().Event(0, {0xC0, 3}).Event(0, {0x90, 1, 1}).Event(10, {0x3C}).End(0)});
  Start(kTraining);
  EXPECT_EQ(player::GuideNote(), 60);
  game::ShowHappenings(player::TakeGuideNote(0).happenings);
  EXPECT_EQ(player::GuideNote(), 62);
  EXPECT_EQ(player::GuideTick(), 960);
}

// Drums are no part: a song of drums alone has no guide.
TEST_F(Guide, DrumsOnlySongHasNoGuide) {
  Load({Track().Event(0, {0x99, 36, 90}).End(1920)});
  Start(kTraining);
  EXPECT_TRUE(player::GuideOver());
  FramesUntil(1000);
  EXPECT_GT(player::SongPosition(), 900) << "plays on like a demonstration";
  EXPECT_EQ(player::TakeGuideNote(67).note, 67);
}

// Notes of the part that start within 30 ms of a chord's first note belong
// to it: song time at the tempo where the chord lies, whatever the speed.
TEST_F(Guide, AChordGathersTheNotesOfThirtyMilliseconds) {
  struct Case {
    const char* name;
    std::uint32_t chordTick;  // the tempo falls from 120 to 60 bpm at 1920
    std::uint32_t apart;      // ticks from the chord's first note to its second
    int speedPercent;
    int chordSize;
  };
  const Case cases[] = {
      {"120 bpm, 29.2 ms", 960, 28, 100, 2}, {"120 bpm, 30.2 ms", 960, 29, 100, 1},
      {"60 bpm, 29.2 ms", 1920, 14, 100, 2}, {"60 bpm, 31.3 ms", 1920, 15, 100, 1},
      {"half speed: 29.2 ms of the song", 960, 28, 50, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetEngine(1);
    player::SetPlaybackSpeedPercent(c.speedPercent);
    Load({Track().Tempo(0, 500000).Tempo(1920, 1000000).End(4000),
          Track().Event(c.chordTick, {0x90, 60, 90}).Event(c.apart, {0x90, 64, 90}).Event(100, {0x90, 67, 90}).End(0)});
    Start(kTraining);
    EXPECT_EQ(player::GuideTick(), static_cast<std::int32_t>(c.chordTick));
    EXPECT_EQ(player::GuideChordSize(), c.chordSize);
  }
}

// A data byte of 80h or above (a damaged file) is never a note: of 200
// note-ons on one tick with note bytes 199 down to 0 the chord holds 127 to
// 0, and a note-on whose velocity byte is damaged is no guide note.
TEST_F(Guide, DamagedNoteBytesAreNoNotes) {
  Track guide;
  for (int note = 199; note >= 0; --note) guide.Event(note == 199 ? 480 : 0, {0x90, static_cast<std::uint8_t>(note), 64});
  guide.Event(480, {0x90, 60, 0xC0}).Event(480, {0x90, 62, 80}).End(0);
  Load({Track().End(4000), guide});
  Start(kTraining);
  ASSERT_EQ(player::GuideChordSize(), 128);
  for (int i = 0; i < 128; ++i) EXPECT_EQ(player::GuideChordNote(i), 127 - i);
  for (int i = 0; i < 128; ++i) PressGuideKey(60);
  EXPECT_EQ(player::GuideTick(), 1440);
  EXPECT_EQ(player::GuideNote(), 62);
}

class Judging : public Guide {
 protected:
  // Training on a guide note at tick 960, stopped just before it.
  void StartBefore(std::uint32_t ms) {
    game::ShowHappenings(player::StopPlayback(player::kStopByUser));
    platform::testing::SetTime(0);
    Load({Track().End(4000), Track().Event(960, {0x90, 60, 90}).Event(480, {0x80, 60, 0}).End(0)});
    Start(kTraining);
    FramesUntil(ms, 1);
  }
};

// Good from 70 ms before the note (earliness in whole milliseconds) to
// less than 70 ms into the halt; the score is the share of Good presses in
// tenths of a percent, divided by 99 below the hundredth press.
TEST_F(Judging, VerdictsAndScores) {
  struct Press {
    std::uint32_t runTo, pressAt;  // pressAt 0: at once
    int verdict;
  };
  for (const Press& c : {Press{930, 0, game::kVerdictGood},  // position 892: 68 ticks = 70.8 ms early
                         Press{929, 0, game::kVerdictFast},  // 69 ticks = 71.8 ms early
                         Press{1000, 1069, game::kVerdictGood}, Press{1000, 1070, game::kVerdictLate}}) {
    StartBefore(c.runTo);
    if (c.pressAt != 0) platform::testing::SetTime(c.pressAt);
    EXPECT_EQ(game::JudgeTiming(platform::TimeMs()).verdict, c.verdict) << c.runTo << " " << c.pressAt;
  }
  struct Run {
    int good, late, score;
  };
  for (const Run& c : {Run{50, 0, 505}, Run{10, 1, 101}, Run{180, 20, 900}, Run{99, 0, 1000}, Run{100, 0, 1000},
                       Run{99, 1, 990}}) {
    StartBefore(1000);  // halted at 1000 ms
    platform::testing::SetTime(1010);
    for (int i = 0; i < c.good; ++i) game::JudgeTiming(platform::TimeMs());
    platform::testing::SetTime(1100);
    for (int i = 0; i < c.late; ++i) game::JudgeTiming(platform::TimeMs());
    EXPECT_EQ(game::Score(), c.score) << c.good << " Good, " << c.late << " LATE";
    EXPECT_EQ(game::Misses(), c.late);
  }
}

}  // namespace
