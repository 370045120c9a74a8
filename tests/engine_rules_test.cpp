// Rules of the engine that a small slip would break without a crash: the
// channel-16 status bytes, the exclusive message's borrowed byte, the
// pedal threshold, the note count that never goes negative, the lyric
// limit, the order of the stop's messages, the counters after a change of
// time signature, the end of a performance and the score at 100 presses.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine_fixture.h"
#include "game/engine_events.h"
#include "game/judging.h"
#include "game/main_command.h"
#include "platform/platform.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "player/run_step.h"

namespace {

namespace pt = platform::testing;
using test::Bytes;
using test::Sent;
using test::Track;
constexpr auto kDemo = player::PlayMode::Demo;
constexpr auto kTraining = player::PlayMode::Training;
constexpr auto kGame = player::PlayMode::Game;

class EngineRules : public test::EngineTest {
 protected:
  // Runs 10 ms frames until the song stops (at most `limitMs`); returns the
  // time of the frame that stopped it, or 0 when it did not stop.
  std::uint32_t PlayToTheEnd(std::uint32_t limitMs) {
    for (std::uint32_t t = platform::TimeMs() + 10; t <= limitMs; t += 10) {
      FrameAt(t);
      if (player::PlayState() == player::kStopped) return t;
    }
    return 0;
  }
  static std::vector<Bytes> BytesOf(const std::vector<Sent>& sent) {
    std::vector<Bytes> out;
    for (const Sent& s : sent) out.push_back(s.bytes);
    return out;
  }
};

// --- Status bytes and the song buffer ---

TEST_F(EngineRules, ChannelSixteenPlaysToItsEndAndGuidesThePlayer) {
  // Track 1 on channel 16 with pitch bends (EFh), one of them under running
  // status; it ends after track 0, which is re-ended at 960 when the song is
  // installed. At 120 bpm tick 960 is passed at 1010 ms.
  const Track channel16 = Track()
                              .Event(0, {0xCF, 5})
                              .Event(0, {0x9F, 60, 100})
                              .Event(100, {0xEF, 0x00, 0x50})
                              .Event(100, {0x10, 0x60})
                              .Event(280, {0x8F, 60, 0})
                              .Event(0, {0x9F, 62, 90})
                              .Event(480, {0x8F, 62, 0})
                              .End(0);
  Load({Track().End(100), channel16});
  Start(kDemo);
  EXPECT_EQ(PlayToTheEnd(3000), 1010u);
  EXPECT_EQ(BytesOf(TakeSent()),
            (std::vector<Bytes>{{0xCF, 5}, {0x9F, 60, 100}, {0xEF, 0x00, 0x50}, {0xEF, 0x10, 0x60}, {0x8F, 60, 0},
                                {0x9F, 62, 90}, {0x8F, 62, 0}, {0xFC}}));

  // The guide reads the same track: notes 60 at tick 0 and 62 at 480.
  pt::SetTime(0);
  Start(kTraining);
  EXPECT_EQ(player::GuideNote(), 60);
  EXPECT_EQ(player::GuideTick(), 0);
  game::ShowHappenings(player::TakeGuideNote(0).happenings);
  EXPECT_EQ(player::GuideNote(), 62);
  EXPECT_EQ(player::GuideTick(), 480);
}

TEST_F(EngineRules, ExclusiveMessagesLeaveTheSongAsTheyFoundIt) {
  // One message with a one-byte length and one of 130 bytes with a
  // two-byte length: the byte lent to F0h is each time a length byte.
  Bytes longMessage{0xF0, 0x81, 0x02, 0x43};
  for (int i = 0; i < 128; ++i) longMessage.push_back(static_cast<std::uint8_t>(i));
  longMessage.push_back(0xF7);
  Load({Track().Event(10, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}).Event(10, longMessage).Event(10, {0xC0, 7}).End(960)});
  const Bytes before = test::TrackBytes(0);
  std::vector<std::vector<Sent>> runs;
  for (int run = 0; run < 2; ++run) {
    pt::SetTime(0);
    Start(kDemo);
    ASSERT_NE(PlayToTheEnd(3000), 0u);
    runs.push_back(TakeSent());
  }
  ASSERT_EQ(runs[0].size(), 4u);
  EXPECT_EQ(runs[0][0].bytes, (Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
  EXPECT_EQ(runs[0][1].bytes.size(), 131u);
  EXPECT_EQ(runs[0][1].bytes.front(), 0xF0);
  EXPECT_EQ(runs[0][1].bytes[1], 0x43);
  EXPECT_EQ(runs[0][2].bytes, (Bytes{0xC0, 7}));
  EXPECT_EQ(runs[1], runs[0]) << "the second run sends what the first sent";
  EXPECT_EQ(test::TrackBytes(0), before);
}

// --- The tables of sounding notes and pedals ---

TEST_F(EngineRules, SustainIsDownAboveSixtyFour) {
  Load({Track()
            .Event(0, {0xB0, 64, 65})   // down
            .Event(0, {0xB1, 64, 64})   // up
            .Event(0, {0xB2, 64, 127})  // down, then up at 64
            .Event(0, {0xB2, 64, 64})
            .End(4000)});
  Start(kDemo);
  FrameAt(10);
  EXPECT_TRUE(player::SustainHeld(0, 0));
  EXPECT_FALSE(player::SustainHeld(0, 1));
  EXPECT_FALSE(player::SustainHeld(0, 2));
  TakeSent();
  game::ShowHappenings(player::StopPlayback(player::kStopByUser));
  EXPECT_EQ(BytesOf(TakeSent()), (std::vector<Bytes>{{0xB0, 64, 0}}));
}

TEST_F(EngineRules, UnmatchedNoteOffDoesNotHideALaterNote) {
  // Note 60 is released before it was ever started, in both note-off forms,
  // then started once: the stop still turns it off (twice, as for any note).
  Load({Track().Event(0, {0x80, 60, 0}).Event(0, {0x90, 60, 0}).Event(0, {0x90, 60, 100}).End(4000)});
  Start(kDemo);
  FrameAt(10);
  EXPECT_EQ(player::SoundingNoteCount(0, 0, 60), 1);
  TakeSent();
  game::ShowHappenings(player::StopPlayback(player::kStopByUser));
  EXPECT_EQ(BytesOf(TakeSent()), (std::vector<Bytes>{{0x90, 60, 0}, {0x90, 60, 0}}));
}

TEST_F(EngineRules, StopReleasesPedalsAfterEveryNoteOfTheirPort) {
  ResetEngine(2);
  // Port 0: a pedal on channel 1 and notes on channels 2 and 3; port 1
  // (track 2): a pedal on channel 1 and a note on channel 5.
  Load({Track()
            .Event(0, {0xB0, 64, 127})
            .Event(0, {0x91, 60, 100})
            .Event(0, {0x92, 61, 100})
            .End(4000),
        Track().Event(0, {0xFF, 0x21, 0x01, 0x01}).Event(0, {0xB0, 64, 127}).Event(0, {0x94, 62, 100}).End(0)});
  Start(kDemo);
  FrameAt(10);
  TakeSent();
  game::ShowHappenings(player::StopPlayback(player::kStopByUser));
  EXPECT_EQ(TakeSent(), (std::vector<Sent>{{10, 0, {0x91, 60, 0}},
                                           {10, 0, {0x91, 60, 0}},
                                           {10, 0, {0x92, 61, 0}},
                                           {10, 0, {0x92, 61, 0}},
                                           {10, 0, {0xB0, 64, 0}},
                                           {10, 1, {0x94, 62, 0}},
                                           {10, 1, {0x94, 62, 0}},
                                           {10, 1, {0xB0, 64, 0}}}));
}

// --- Meta events ---

TEST_F(EngineRules, LyricOfThreeHundredTwentyThreeBytesFitsALongerOneIsCut) {
  const std::string fits(323, 'a');
  const std::string longer = std::string(323, 'b') + "Z";
  Load({Track().Text(0, 5, fits).Text(480, 5, longer).Event(0, {0xC0, 9}).End(4000)});
  Start(kDemo);
  FrameAt(10);
  EXPECT_EQ(std::string(player::LyricBuffer()), fits);
  FramesUntil(600);
  EXPECT_EQ(std::string(player::LyricBuffer()), std::string(323, 'b'));
  EXPECT_EQ(BytesOf(TakeSent()), (std::vector<Bytes>{{0xC0, 9}})) << "the event after the cut lyric";
}

TEST_F(EngineRules, NumeratorZeroDuringPlaybackCountsFourBeats) {
  // 3/4 from the start, then a numerator of 0 at tick 1440 (measure 2).
  Load({Track().TimeSignature(0, 3, 2).TimeSignature(1440, 0, 2).End(5760)});
  Start(kDemo);
  FramesUntil(4200);
  EXPECT_EQ(player::BeatsPerMeasure(), 4);
  // The signature took effect on the frame at 1510 ms (position 1449), the
  // clock re-anchored there: at 4200 ms the position is 1449 + 2690 x 480 /
  // 500 = 4031, five quarters past 1440: measure 2 + 5 / 4, beat 5 % 4.
  EXPECT_EQ(player::SongPosition(), 4031);
  EXPECT_EQ(player::CurrentMeasure(), 2);
  EXPECT_EQ(player::CurrentBeat(), 2);
}

TEST_F(EngineRules, CountersGoOnFromTheMeasureWhereTheSignatureChanged) {
  // Two measures of 4/4 (3840 ticks), then 3/4.
  Load({Track().TimeSignature(0, 4, 2).TimeSignature(3840, 3, 2).End(9600)});
  Start(kDemo);
  std::vector<std::pair<int, int>> shown;  // measure, beat, counted from 1
  for (std::uint32_t t = 10; t <= 8700; t += 10) {
    FrameAt(t);
    const std::pair<int, int> now{player::CurrentMeasure() + 1, player::CurrentBeat()};
    if (shown.empty() || shown.back() != now) shown.push_back(now);
  }
  EXPECT_EQ(shown, (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {1, 3}, {1, 4}, {2, 1}, {2, 2}, {2, 3}, {2, 4},
                                                     {3, 1}, {3, 2}, {3, 3}, {4, 1}, {4, 2}, {4, 3}, {5, 1}, {5, 2},
                                                     {5, 3}, {6, 1}}));
}

// --- The end of a performance ---

class PerformanceEnd : public EngineRules {
 protected:
  // Track 0 carries the accompaniment and ends at 1920 (2000 ms); the guide
  // has one note at 480 and ends at 960.
  void LoadShortGuide() {
    Load({Track().Event(1400, {0xC0, 3}).End(520),
          Track().Event(480, {0x91, 64, 90}).Event(480, {0x81, 64, 0}).End(0)});
  }
  // The player takes the guide note early, at 300 ms (position 288): the
  // song moves to 480 and goes on from there; the guide has ended.
  void TakeTheOnlyNoteEarly() {
    FramesUntil(300);
    ASSERT_FALSE(player::HaltedAtGuide());
    PressGuideKey(64);
    ASSERT_EQ(player::SongPosition(), 480);
    ASSERT_TRUE(player::GuideEnded());
  }
};

TEST_F(PerformanceEnd, AfterTheGuideEndsTheSongPlaysOnAndStops) {
  for (player::PlayMode mode : {kTraining, kGame}) {
    SCOPED_TRACE(mode == kGame ? "game" : "training");
    pt::SetTime(0);
    LoadShortGuide();
    Start(mode);
    TakeTheOnlyNoteEarly();
    // From 480 at 300 ms the position is 480 + (t - 300) x 480 / 500: it
    // passes the program change at 1400 on the frame at 1260 ms and the
    // end at 1920 on the frame at 1810 ms.
    EXPECT_EQ(PlayToTheEnd(10000), 1810u);
    const auto sent = BytesOf(TakeSent());
    EXPECT_NE(std::find(sent.begin(), sent.end(), Bytes{0xC0, 3}), sent.end()) << "the accompaniment after the guide";
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), Bytes{0xFC});
  }
}

TEST_F(PerformanceEnd, TheSongsEndTurnsOffThePlayersNote) {
  LoadShortGuide();
  Start(kTraining);
  TakeTheOnlyNoteEarly();
  TakeSent();
  ASSERT_NE(PlayToTheEnd(10000), 0u);
  // The player's note (the guide note, on the part's channel 2) was never
  // released: the end of the song turns it off.
  EXPECT_EQ(BytesOf(TakeSent()), (std::vector<Bytes>{{0xC0, 3}, {0x91, 64, 0}, {0x91, 64, 0}, {0xFC}}));
}

}  // namespace
