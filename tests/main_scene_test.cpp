// The main scene's frame: the halt at each guide note in training and game,
// the guide's end, the hand-over to the score screens, and presenting only
// what changed.
#include <algorithm>

#include "files/ranking.h"
#include "game/computer_keyboard.h"
#include "game/controls.h"
#include "game/judging.h"
#include "game/main_command.h"
#include "game/piano_keys.h"
#include "game/press_record.h"
#include "game/statistics_scene.h"
#include "platform/virtual_keys.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "player/run_step.h"
#include "program_fixture.h"
#include "scene/scenes.h"

namespace {

namespace pt = platform::testing;
using test::Bytes;
using test::Track;

// 120 beats per minute, 480 ticks: tick t falls at t x 500 / 480 ms. The
// guide has one note, E4 at tick 960 (1000 ms); track 3 plays notes at
// ticks 480, 960 and 1440 on channel 3 and the song ends at 2400.
std::vector<Track> HaltSong() {
  Track conductor, guide, band;
  conductor.Tempo(0, 500000).End(2400);
  guide.Event(960, {0x90, 64, 90}).Event(240, {0x80, 64, 0}).End(0);
  band.Event(480, {0x92, 40, 50}).Event(480, {0x92, 41, 50}).Event(480, {0x92, 42, 50}).End(0);
  return {conductor, guide, band};
}

// The same with a second guide note, G4 at tick 1920.
std::vector<Track> TwoNoteHaltSong() {
  std::vector<Track> song = HaltSong();
  song[1] = Track();
  song[1].Event(960, {0x90, 64, 90}).Event(240, {0x80, 64, 0}).Event(720, {0x90, 67, 90}).Event(240, {0x80, 67, 0});
  song[1].End(0);
  return song;
}

class MainScene : public test::ProgramTest {
 protected:
  // The time of each of the band's notes sent since the test began.
  std::vector<std::pair<int, std::uint32_t>> BandNotes() {
    std::vector<std::pair<int, std::uint32_t>> out;
    for (const auto& e : pt::MidiLog())
      if (e.kind == pt::MidiLogEntry::Short && e.bytes.size() == 3 && e.bytes[0] == 0x92 && e.bytes[2] != 0)
        out.emplace_back(e.bytes[1], e.time);
    return out;
  }
};

TEST_F(MainScene, TrainingHaltsAtTheGuideNoteAndResumesWithoutSkipping) {
  StartWithSong(TwoNoteHaltSong());
  ClickButton(game::kButtonTraining);  // started at the click's frame
  const std::uint32_t started = platform::TimeMs() - 16;
  PassUntil(started + 3000);
  // The note at 960 leaves on the frame that passes it, and the song stops there.
  auto band = BandNotes();
  ASSERT_EQ(band.size(), 2u);
  EXPECT_EQ(band[1].first, 41);
  EXPECT_LT(band[1].second - started, 1000u + 2 * 16);
  EXPECT_TRUE(player::HaltedAtGuide());
  const std::int32_t halted = player::SongPosition();
  EXPECT_GE(halted, 960);
  EXPECT_LT(halted, 960 + 16);
  // Waiting moves nothing and sends nothing.
  const std::size_t sentBeforeWait = pt::MidiLog().size();
  PassUntil(platform::TimeMs() + 2000);
  EXPECT_EQ(player::SongPosition(), halted);
  EXPECT_EQ(pt::MidiLog().size(), sentBeforeWait);

  Tap('A');
  const std::uint32_t resumed = platform::TimeMs();
  EXPECT_EQ(game::LastVerdict(), game::kVerdictLate);
  Pass();
  // Song time goes on from where it halted: the note at 1440 comes about
  // (1440 - halted) ticks later, not at once.
  const std::uint32_t expectedMs = static_cast<std::uint32_t>((1440 - halted) * 500 / 480);
  PassUntil(resumed + expectedMs + 100);
  band = BandNotes();
  ASSERT_EQ(band.size(), 3u);
  EXPECT_NEAR(static_cast<double>(band[2].second - resumed), expectedMs, 3 * 16);
}

// Taking the guide's last note while halted ends the guide; the song goes
// on from where it halted, its remaining notes in their time.
TEST_F(MainScene, TakingTheLastGuideNoteWhileHaltedResumesWithoutABurst) {
  StartWithSong(HaltSong());
  ClickButton(game::kButtonTraining);
  PassUntil(platform::TimeMs() + 2000);
  const std::int32_t halted = player::SongPosition();
  Tap('A');
  const std::uint32_t resumed = platform::TimeMs();
  EXPECT_TRUE(player::GuideEnded());
  const std::uint32_t expectedMs = static_cast<std::uint32_t>((1440 - halted) * 500 / 480);
  PassUntil(resumed + expectedMs + 100);
  const auto band = BandNotes();
  ASSERT_EQ(band.size(), 3u);
  EXPECT_NEAR(static_cast<double>(band[2].second - resumed), expectedMs, 3 * 16);
  PassUntil(platform::TimeMs() + 1500);
  EXPECT_EQ(player::PlayState(), player::kStopped) << "and plays on to its end";
}

TEST_F(MainScene, DemoNeverHalts) {
  StartWithSong(HaltSong());
  ClickButton(game::kButtonDemo);
  const std::uint32_t started = platform::TimeMs() - 16;
  PassUntil(started + 1600);
  const auto band = BandNotes();
  ASSERT_EQ(band.size(), 3u);
  EXPECT_NEAR(static_cast<double>(band[2].second - started), 1500.0, 16);
  EXPECT_FALSE(player::HaltedAtGuide());
}

// A press's verdict follows from the offset the statistics record: Good
// exactly from 70 ms before the note (1000 ms into the run) to less than
// 70 ms into the halt there, whatever the player clicks meanwhile. The key
// goes down `downMs` from the note and is taken at once.
TEST_F(MainScene, EachVerdictAgreesWithItsOffsetWhateverIsClicked) {
  struct Case {
    int downMs;
    bool clickInHalt;  // on an empty part of the screen, just after the halt began
    int verdict;
  };
  const Case cases[] = {
      {-80, false, game::kVerdictFast}, {-70, false, game::kVerdictGood}, {0, false, game::kVerdictGood},
      {60, false, game::kVerdictGood},  {60, true, game::kVerdictGood},   {70, false, game::kVerdictLate},
      {200, false, game::kVerdictLate}, {200, true, game::kVerdictLate},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.downMs << " ms" << (c.clickInHalt ? ", a click in the halt" : ""));
    SetUp();
    std::vector<Track> song = HaltSong();
    song[0] = Track().End(2400);  // 120 bpm with no tempo event: the halt comes at 1000 ms exactly
    StartWithSong(song);
    ClickButton(game::kButtonGame);
    const std::uint32_t start = platform::TimeMs() - 16, note = start + 1000;
    if (c.clickInHalt) {
      PassOnGridUntil(start, note);
      ASSERT_TRUE(player::HaltedAtGuide());
      Click(320, 300);
    }
    PassOnGridUntil(start, note + c.downMs);
    KeyDown('D');
    Pass(0);
    Pass(10);
    KeyUp('D');
    ASSERT_EQ(game::JudgedPresses().size(), 1u);
    EXPECT_EQ(game::JudgedPresses()[0].offsetMs, c.downMs);
    EXPECT_EQ(game::JudgedPresses()[0].verdict, c.verdict);
    EXPECT_EQ(game::LastVerdict(), c.verdict);
    EXPECT_EQ(game::Score(), c.verdict == game::kVerdictGood ? 10 : 0) << "1 x 1000 / 99";
    TearDown();
    songPath_.clear();
  }
}

// A song that passes in one frame (its division 61536 ticks a quarter) still
// halts at its guide's note: the game judges the press and ends as played.
TEST_F(MainScene, TheGuideHaltsEvenInTheSongsLastFrame) {
  Track conductor, guide, band;
  conductor.Tempo(0, 500000).End(1200);  // 1969 ticks pass in a frame of 16 ms
  guide.Event(960, {0x90, 64, 90}).Event(240, {0x80, 64, 0}).End(0);
  band.Event(480, {0x92, 40, 50}).Event(480, {0x92, 41, 50}).End(0);
  StartWithSong({conductor, guide, band}, 61536);
  ClickButton(game::kButtonGame);
  EXPECT_TRUE(player::HaltedAtGuide());
  EXPECT_EQ(player::SongPosition(), 960);
  Tap('D');
  EXPECT_EQ(game::JudgedPresses().size(), 1u);
  for (int i = 0; i < 10 && player::PlayState() == player::kPlaying; ++i) Pass();
  EXPECT_EQ(player::PlayState(), player::kStopped);
  EXPECT_EQ(scene::NextScene(), scene::kSceneStatistics) << "a game played to its end";
}

TEST_F(MainScene, TheGuidesLastKeyGoesDarkOnce) {
  StartWithSong(HaltSong());
  ClickButton(game::kButtonTraining);
  const game::SourceRect litLower{52, 616, 104, 688};  // a white key's lower part, lit
  const game::SourceRect upLower{0, 616, 52, 688};
  EXPECT_TRUE(ShowsArtwork(8 + 52 * 2, 400, litLower)) << "E4 is lit as the note to play";
  PassUntil(platform::TimeMs() + 1100);
  Tap('D');
  EXPECT_TRUE(player::GuideOver());
  EXPECT_TRUE(ShowsArtwork(8 + 52 * 2, 400, upLower)) << "the guide has ended: its key goes dark";
  // Lit again by hand, the key stays so: the end is taken notice of once.
  game::DrawPianoKey(4, game::kKeyLookLit);
  Pass();
  Pass();
  EXPECT_TRUE(ShowsArtwork(8 + 52 * 2, 400, litLower));
  // The song plays on past the guide's end: a key sounds its own note.
  ASSERT_EQ(player::PlayState(), player::kPlaying);
  TakeSent();
  Tap('F');
  EXPECT_EQ(NoteOns(TakeSent()), (std::vector<test::Bytes>{{65, 90}})) << "F4, at the guide's velocity";
}

TEST_F(MainScene, AGamePlayedToTheEndLeadsToTheScoreScreens) {
  StartWithSong(HaltSong());
  ClickButton(game::kButtonGame);
  PassUntil(platform::TimeMs() + 1100);
  Tap('D');
  EXPECT_EQ(scene::TransitionDirection(), 0);
  for (int i = 0; i < 200 && player::PlayState() == player::kPlaying; ++i) Pass();
  EXPECT_EQ(player::PlayState(), player::kStopped);
  EXPECT_EQ(scene::TransitionDirection(), 1);
  EXPECT_EQ(scene::NextScene(), scene::kSceneStatistics) << "the game's statistics first";
  EXPECT_EQ(game::SceneAfterStatistics(), scene::kSceneRanking) << "10 (01.0) stays below the fifth score, 100";
}

TEST_F(MainScene, TheScoreMustBeatTheFifthToEnterAName) {
  for (const auto& [score, scene] : {std::pair{501, scene::kSceneNameEntry}, std::pair{500, scene::kSceneRanking}}) {
    SetUp();
    StartWithSong(HaltSong());
    files::SetRankingScore(4, 500);
    ClickButton(game::kButtonGame);  // a game, stopped as its guide ended
    ClickButton(game::kButtonStop);
    player::SetGuideNote(player::kNoGuideNote);
    game::SetScore(score);
    game::SetMainCommand(game::kCommandStopped);
    Pass();
    EXPECT_EQ(scene::TransitionDirection(), 1);
    EXPECT_EQ(scene::NextScene(), scene::kSceneStatistics);
    EXPECT_EQ(game::SceneAfterStatistics(), scene) << score;
    TearDown();
    songPath_.clear();
  }
}

TEST_F(MainScene, StopBeforeTheGuideEndsLeadsNowhere) {
  StartWithSong(HaltSong());
  ClickButton(game::kButtonGame);
  PassUntil(platform::TimeMs() + 500);
  ClickButton(game::kButtonStop);
  for (int i = 0; i < 5; ++i) Pass();
  EXPECT_EQ(game::MainCommand(), game::kCommandStopped);
  EXPECT_EQ(scene::TransitionDirection(), 0);
  EXPECT_EQ(scene::SceneNumber(), scene::kSceneMain);
}

TEST_F(MainScene, RankAndExitLeaveTheMainScreen) {
  StartWithSong(HaltSong());
  ClickButton(game::kButtonRank);
  EXPECT_EQ(scene::NextScene(), scene::kSceneRanking);
  TearDown();
  SetUp();
  StartWithSong(HaltSong());
  ClickButton(game::kButtonExit);
  EXPECT_EQ(scene::NextScene(), scene::kSceneExitQuestion);
}

TEST_F(MainScene, AnIdleFramePresentsNothing) {
  StartWithSong(HaltSong());
  Pass();
  const int presented = pt::PresentCount();
  for (int i = 0; i < 20; ++i) Pass();
  EXPECT_EQ(pt::PresentCount(), presented);
  ClickButton(game::kButtonDemo);
  EXPECT_GT(pt::PresentCount(), presented) << "drawing presents";
}

// The reset between runs puts every module back: a game left playing with
// a key judged and the wipe to the exit question begun leaves nothing
// behind that changes the next run.
TEST_F(MainScene, AfterAResetTheSameRunSendsTheSame) {
  std::vector<std::vector<std::pair<std::uint32_t, Bytes>>> runs;
  for (int run = 0; run < 2; ++run) {
    if (run > 0) SetUp();
    StartWithSong(TwoNoteHaltSong());
    ClickButton(game::kButtonGame);
    PassUntil(platform::TimeMs() + 1500);
    Tap('A');
    PassUntil(platform::TimeMs() + 500);
    runs.emplace_back();
    for (const auto& e : pt::MidiLog()) runs.back().emplace_back(e.time, e.bytes);
    pt::PushEvent({platform::EventKind::KeyDown, 0, 0, platform::vk::kEscape});
    Pass();  // left playing, the wipe to the exit question begun
    ASSERT_EQ(scene::NextScene(), scene::kSceneExitQuestion);
  }
  EXPECT_EQ(runs[0], runs[1]);
}

// Another window takes the focus during a run, from `leaveAt` ms after the
// click for `awayMs` ms (0: it never does), and the guide's key is tapped
// at `pressAt` (0: never; later by the time away when that falls after the
// leave). Every message sent, timed from the click; the time away as the
// program measured it in `held`.
struct Sent {
  std::uint32_t at;
  Bytes bytes;
  bool operator==(const Sent&) const = default;
};
struct Away {
  const char* name;
  bool fullScreen;
  int button;
  std::uint32_t leaveAt, pressAt;
};
void PrintTo(const Away& away, std::ostream* out) { *out << away.name; }

class AwayFromTheGame : public MainScene, public ::testing::WithParamInterface<Away> {
 protected:
  std::vector<Sent> Run(std::uint32_t awayMs, std::uint32_t& held) {
    const Away& away = GetParam();
    TearDown();  // the previous run's ports and song folder
    songPath_.clear();
    test::ResetProgram(1);
    Start(away.fullScreen ? "" : "-");
    songPath_ = test::WriteTempFile(test::SmfFile(HaltSong(), 480));
    pt::ScriptFileChoice(songPath_);
    ClickButton(game::kButtonFile);
    ClickButton(away.button);
    pt::ClearMidiLog();
    const std::uint32_t start = platform::TimeMs();
    std::uint32_t leftAt = 0;
    held = 0;
    bool pressed = away.pressAt == 0;
    while (platform::TimeMs() - start < 9000) {
      const std::uint32_t now = platform::TimeMs() - start;
      if (awayMs > 0 && leftAt == 0 && now + 16 >= away.leaveAt) {
        pt::PushEvent({platform::EventKind::Deactivated});
        Pass();
        leftAt = platform::TimeMs();
        PassUntil(leftAt + awayMs);
        pt::PushEvent({platform::EventKind::Activated});
        Pass();
        held = platform::TimeMs() - leftAt;
        continue;
      }
      if (!pressed && now >= away.pressAt + (away.pressAt > away.leaveAt ? held : 0)) {
        Tap('A');
        pressed = true;
        continue;
      }
      Pass();
    }
    std::vector<Sent> sent;
    for (const auto& e : pt::MidiLog())
      if (e.kind == pt::MidiLogEntry::Short) sent.push_back({e.time - start, e.bytes});
    return sent;
  }
  static bool NoteOff(const Bytes& b) { return b.size() == 3 && ((b[0] & 0xF0) == 0x80 || ((b[0] & 0xF0) == 0x90 && b[2] == 0)); }
};

// In a window the song plays on while another window is in front. Full
// screen stops its frames: the notes sounding then end at once, nothing
// else is sent while away, and the song goes on from where it stood, every
// later note as long after the return as it was due after the leave (a
// halt at a guide note keeps waiting for its key).
TEST_P(AwayFromTheGame, FullScreenHoldsTheSongAndEndsItsNotes) {
  std::uint32_t held = 0;
  const std::vector<Sent> stayed = Run(0, held);
  const std::vector<Sent> left = Run(5008, held);
  ASSERT_GE(held, 5008u);
  if (!GetParam().fullScreen) {
    EXPECT_EQ(left, stayed);
    return;
  }
  const std::uint32_t leaveAt = GetParam().leaveAt, returnAt = leaveAt + held;
  std::vector<Sent> before, away, after, expectedAfter;
  for (const Sent& s : left) (s.at < leaveAt ? before : s.at < returnAt ? away : after).push_back(s);
  std::vector<Sent> stayedBefore;
  for (const Sent& s : stayed) {
    if (s.at < leaveAt) stayedBefore.push_back(s);
    else if (!NoteOff(s.bytes)) expectedAfter.push_back({s.at + held, s.bytes});
  }
  EXPECT_EQ(before, stayedBefore);
  // The band's note 40 (sounding since 500 ms) ends as the game goes away.
  ASSERT_FALSE(away.empty());
  EXPECT_EQ(away.front(), (Sent{leaveAt, {0x92, 40, 0}}));
  for (const Sent& s : away) EXPECT_TRUE(NoteOff(s.bytes)) << "sent while away: " << testing::PrintToString(s.bytes);
  std::erase_if(after, [](const Sent& s) { return NoteOff(s.bytes); });
  EXPECT_EQ(after, expectedAfter);
}

INSTANTIATE_TEST_SUITE_P(Runs, AwayFromTheGame,
                         ::testing::Values(Away{"DemoInFullScreen", true, game::kButtonDemo, 608, 0},
                                           Away{"TrainingHaltedInFullScreen", true, game::kButtonTraining, 1200, 1600},
                                           Away{"DemoInAWindow", false, game::kButtonDemo, 608, 0}),
                         [](const ::testing::TestParamInfo<Away>& run) { return std::string(run.param.name); });

}  // namespace
