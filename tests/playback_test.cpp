// The playback clock and the event dispatch, frame by frame on the manual
// clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine_fixture.h"
#include "game/engine_events.h"
#include "game/main_command.h"
#include "player/event_dispatch.h"
#include "player/playback_clock.h"

namespace {

using test::Bytes;
using test::Sent;
using test::Track;
constexpr auto kDemo = player::PlayMode::Demo;

class Playback : public test::EngineTest {};

TEST_F(Playback, PositionFromElapsedTime) {
  Load({Track().Tempo(0, 500000).End(20000)});
  Start(kDemo);
  FrameAt(1000);
  EXPECT_EQ(player::SongPosition(), 960);

  Load({Track().Tempo(0, 461538).End(20000)});  // 130 bpm: a quarter is 461 ms
  platform::testing::SetTime(0);
  Start(kDemo);  // measure 0's tempo is in force from the start
  FrameAt(1000);
  EXPECT_EQ(player::Tempo(), 130);
  EXPECT_EQ(player::SongPosition(), 1041);
}

TEST_F(Playback, TempoChangeKeepsThePositionContinuous) {
  Load({Track().Tempo(960, 250000).End(20000)});
  Start(kDemo);
  std::int32_t last = 0;
  for (std::uint32_t t = 16; t <= 2000; t += 16) {
    FrameAt(t);
    EXPECT_GE(player::SongPosition(), last) << t;
    last = player::SongPosition();
  }
  EXPECT_EQ(player::Tempo(), 240);
  // The change left on the frame at 1008 ms (position 967); 992 ms later at
  // 240 bpm (a quarter of 250 ms) 1904 more ticks have passed.
  EXPECT_EQ(player::SongPosition(), 967 + 1904);
}

TEST_F(Playback, EventsAtTickZeroLeaveOnceThePositionIsOne) {
  Load({Track().Event(0, {0xC0, 5}).End(4000)});
  Start(kDemo);
  FrameAt(0);
  FrameAt(1);  // 480 x 1 / 500 = 0
  EXPECT_TRUE(TakeSent().empty());
  FrameAt(2);
  EXPECT_EQ(TakeSent(), (std::vector<Sent>{{2, 0, {0xC0, 5}}}));
}

TEST_F(Playback, BeatsCountQuarterNotes) {
  Load({Track().TimeSignature(0, 3, 2).End(1440 * 4)});
  Start(kDemo);
  std::vector<std::pair<int, int>> shown;  // measure, beat
  for (std::uint32_t t = 10; t <= 2100; t += 10) {
    FrameAt(t);
    const std::pair<int, int> now{player::CurrentMeasure() + 1, player::CurrentBeat()};
    if (shown.empty() || shown.back() != now) shown.push_back(now);
  }
  EXPECT_EQ(shown, (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}}));

  Load({Track().TimeSignature(0, 6, 3).End(1440 * 4)});
  platform::testing::SetTime(0);
  Start(kDemo);
  FramesUntil(3100);  // six quarters and a bit at 120 bpm
  EXPECT_EQ(player::BeatUnit(), 8);
  EXPECT_EQ(player::CurrentMeasure(), 1);
  EXPECT_EQ(player::CurrentBeat(), 1);
}

// Track 0 steers playback when it has a tempo or a signature; otherwise
// the first track that has one does.
TEST_F(Playback, TempoAndSignatureComeFromTheConductorTrack) {
  // 240 beats per minute and 3/4 from tick 480, passed at 1000 ms (960).
  const Track other = Track().Tempo(480, 250000).TimeSignature(0, 3, 2).End(100);
  struct Case {
    const char* name;
    std::vector<Track> tracks;
    int tempo, beats;
    std::int32_t position;  // at 1500 ms
  };
  for (const Case& c : {Case{"track 0 has a tempo", {Track().Tempo(0, 500000).End(20000), other}, 120, 4, 1440},
                        Case{"track 0 has neither", {Track().End(20000), Track().End(0), other}, 240, 3, 1920}}) {
    SCOPED_TRACE(c.name);
    ResetEngine(1);
    Load(c.tracks);
    Start(kDemo);
    for (std::uint32_t t : {500, 1000, 1500}) FrameAt(t);
    EXPECT_EQ(player::Tempo(), c.tempo);
    EXPECT_EQ(player::BeatsPerMeasure(), c.beats);
    EXPECT_EQ(player::SongPosition(), c.position);
    EXPECT_EQ(player::PlayState(), player::kPlaying) << "the other track's end ends only that track";
  }
}

TEST_F(Playback, SongEndsWithTrackZero) {
  // A note still sounding when track 0 ends; track 2's event due in the
  // same pass is still sent.
  Load({Track().End(1920), Track().Event(0, {0x90, 60, 100}).End(1920), Track().Event(1920, {0xC2, 1}).End(0)});
  Start(kDemo);
  FramesUntil(2000);  // 1920 ticks take 2000 ms
  EXPECT_EQ(player::PlayState(), player::kPlaying);
  TakeSent();
  FrameAt(2010);
  EXPECT_EQ(player::PlayState(), player::kStopped);
  EXPECT_EQ(TakeSent(), (std::vector<Sent>{{2010, 0, {0xC2, 1}}, {2010, 0, {0x90, 60, 0}}, {2010, 0, {0x90, 60, 0}},
                                           {2010, 0, {0xFC}}}));
  FrameAt(3000);
  EXPECT_TRUE(TakeSent().empty());
  EXPECT_EQ(player::SongPosition(), 0) << "rewound";
}

TEST_F(Playback, TracksAreDispatchedInOrder) {
  Load({Track().Event(10, {0xC0, 10}).Event(10, {0xC0, 20}).End(5000), Track().Event(15, {0xC1, 15}).End(0)});
  Start(kDemo);
  FrameAt(50);  // position 48
  const auto sent = TakeSent();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].bytes, (Bytes{0xC0, 10}));
  EXPECT_EQ(sent[1].bytes, (Bytes{0xC0, 20}));
  EXPECT_EQ(sent[2].bytes, (Bytes{0xC1, 15}));
}

TEST_F(Playback, ExclusiveEndsThePassAndRunningStatusGoesOn) {
  Load({Track().Event(0, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}).End(5000),
        Track().Event(0, {0x91, 64, 90}).Event(240, {64, 0}).End(0)});
  Start(kDemo);
  FrameAt(10);
  EXPECT_EQ(TakeSent(), (std::vector<Sent>{{10, 0, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}}}));
  FrameAt(20);
  EXPECT_EQ(TakeSent(), (std::vector<Sent>{{20, 0, {0x91, 64, 90}}}));
  FrameAt(250);  // position 240: not yet past tick 240
  EXPECT_TRUE(TakeSent().empty());
  FrameAt(260);  // position 249
  EXPECT_EQ(TakeSent(), (std::vector<Sent>{{260, 0, {0x91, 64, 0}}})) << "running status after the exclusive";
}

TEST_F(Playback, StopTurnsOffWhatIsSounding) {
  // Two unmatched note-ons, a held pedal, and a running-status note-off.
  Load({Track().Event(0, {0x91, 60, 100}).Event(0, {0x91, 60, 100}).Event(0, {0xB1, 64, 127})
            .Event(0, {0x92, 70, 100}).Event(0, {70, 0}).End(20000)});
  Start(kDemo);
  FrameAt(10);
  EXPECT_EQ(player::SoundingNoteCount(0, 1, 60), 2);
  EXPECT_EQ(player::SoundingNoteCount(0, 2, 70), 0) << "running-status note-off counted";
  TakeSent();
  game::ShowHappenings(player::StopPlayback(player::kStopByUser));
  EXPECT_EQ(TakeSent(), (std::vector<Sent>{{10, 0, {0x91, 60, 0}}, {10, 0, {0x91, 60, 0}}, {10, 0, {0x91, 60, 0}},
                                           {10, 0, {0xB1, 64, 0}}}));
  EXPECT_EQ(player::PlayState(), player::kStopped);
}

TEST_F(Playback, PortPrefixRoutesTheTrack) {
  ResetEngine(2);
  const Bytes prefixOne{0xFF, 0x21, 0x01, 0x01};
  Load({Track().End(20000), Track().Event(0, prefixOne).Event(0, {0xB3, 64, 100}).Event(0, {0x93, 50, 1}).End(0),
        Track().Event(0, {0xFF, 0x21, 0x01, 0x05}).Event(0, {0x94, 50, 1}).End(0)});
  Start(kDemo);
  FrameAt(10);
  EXPECT_EQ(TakeSent(), (std::vector<Sent>{{10, 1, {0xB3, 64, 100}}, {10, 1, {0x93, 50, 1}}}))
      << "port 5 has no device: dropped";
  game::ShowHappenings(player::StopPlayback(player::kStopByUser));
  const auto sent = TakeSent();
  EXPECT_EQ(sent.back(), (Sent{10, 1, {0xB3, 64, 0}})) << "the pedal is released on the track's port";
  EXPECT_EQ(player::TrackOutputPort(1), 1);
}

TEST_F(Playback, LyricEventsFillTheBuffer) {
  Load({Track().End(20000), Track().End(0), Track().Text(0, 5, "Twin kle twin kle").End(0)});
  Start(kDemo);
  FrameAt(10);
  EXPECT_STREQ(player::LyricBuffer(), "Twin kle twin kle");
}

TEST_F(Playback, OddInputIsHandledSoundly) {
  // A tempo of 0 microseconds is ignored, an F7h escape is stepped over, a
  // note started 200 times stays at 127, a huge tempo is clamped.
  Track t0;
  t0.Tempo(0, 0).Event(0, {0xF7, 0x02, 0x01, 0x02});
  for (int i = 0; i < 200; ++i) t0.Event(0, {0x90, 60, 1});
  t0.Tempo(100, 50000).End(20000);
  Load({t0});
  Start(kDemo);
  FrameAt(10);
  EXPECT_EQ(player::Tempo(), 120);
  EXPECT_EQ(player::SoundingNoteCount(0, 0, 60), 127);
  const auto sent = TakeSent();
  EXPECT_EQ(sent.size(), 200u) << "the escape was not sent";
  FrameAt(200);
  EXPECT_EQ(player::Tempo(), 600);
}

// A track of length 0, and one whose events stop without an end-of-track,
// run on into the next chunk: its "MTrk" and length are read as events.
// Data bytes read before any status byte are stepped over, never sent.
TEST_F(Playback, DataBytesWithoutAStatusAreNeverSent) {
  const Bytes conductor = test::Chunk("MTrk", Track().End(1920).data);
  const Bytes tune = test::Chunk("MTrk", Track().Event(0, {0x90, 60, 100}).Event(480, {0x80, 60, 0}).End(0).data);
  for (const Bytes& runsOn : {test::Chunk("MTrk", {}), test::Chunk("MTrk", Track().Text(0, 3, "name").data)}) {
    SCOPED_TRACE(runsOn.size());
    Bytes file = test::HeaderChunk(1, 3, 480);
    for (const Bytes* chunk : {&conductor, &runsOn, &tune}) file.insert(file.end(), chunk->begin(), chunk->end());
    ResetEngine(1);
    test::InstallAndScan(file);
    game::ShowHappenings(player::RewindSong());
    Start(kDemo);
    FramesUntil(2100);
    const std::vector<Sent> sent = TakeSent();
    EXPECT_NE(std::find_if(sent.begin(), sent.end(), [](const Sent& s) { return s.bytes == Bytes{0x90, 60, 100}; }),
              sent.end());
    for (const Sent& s : sent) EXPECT_GE(s.bytes[0], 0x80) << testing::PrintToString(s);
  }
}

}  // namespace
