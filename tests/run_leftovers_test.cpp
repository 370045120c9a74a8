// What a run or a press leaves behind must not reach the next one: the part
// a run muted, a halt at a guide note, the moment a key went down, a chord
// half taken.
#include <algorithm>
#include <functional>

#include "game/controls.h"
#include "game/press_record.h"
#include "platform/virtual_keys.h"
#include "player/run_step.h"
#include "program_fixture.h"
#include "song/song_parts.h"

namespace {

namespace pt = platform::testing;
using test::Track;

class RunLeftovers : public test::ProgramTest {
 protected:
  // Clicks a mode button; times below count from the run's start.
  void Run(int button) {
    ClickButton(button);
    start_ = platform::TimeMs() - 16;
  }
  void PassTo(std::uint32_t ms) {
    while (platform::TimeMs() < start_ + ms) Pass(std::min<std::uint32_t>(10, start_ + ms - platform::TimeMs()));
  }
  // Passes until the run halts at a guide note; the halt's time.
  std::uint32_t PassToHalt() {
    for (int i = 0; i < 500 && !player::WaitingForPlayer(); ++i) Pass(10);
    EXPECT_TRUE(player::WaitingForPlayer());
    return platform::TimeMs() - start_;
  }
  // A key goes down or up at `ms` and is taken at once.
  void Key(int key, bool down, std::uint32_t ms) {
    PassTo(ms);
    down ? KeyDown(key) : KeyUp(key);
    Pass(0);
  }
  // When the first note-on of a channel (0-based) was sent, from the start.
  std::uint32_t FirstNoteOn(int channel) const {
    for (const auto& e : pt::MidiLog())
      if (e.time >= start_ && e.bytes.size() == 3 && e.bytes[0] == 0x90 + channel && e.bytes[2] != 0) return e.time - start_;
    return 0;
  }
  int LastOffset() const { return game::JudgedPresses().empty() ? 9999 : game::JudgedPresses().back().offsetMs; }
  std::uint32_t start_ = 0;
};

// 120 beats a minute, 480 ticks: tick 480 is 500 ms. The guide (t2) plays
// C4 at 960 and at 1248; t3 a note on channel 3 at 480.
std::vector<Track> TwoCs() {
  Track conductor, guide, band;
  conductor.End(2400);
  guide.Event(960, {0x90, 60, 90}).Event(100, {0x80, 60, 0}).Event(188, {0x90, 60, 90}).Event(100, {0x80, 60, 0}).End(0);
  band.Event(480, {0x92, 40, 50}).Event(240, {0x82, 40, 0}).End(0);
  return {conductor, guide, band};
}

// A chord of E4 and G4 on the song's first tick: a run halts there at once
// (and a stop's rewind leaves it there). t3 as above.
std::vector<Track> ChordFirst() {
  std::vector<Track> song = TwoCs();
  song[1] = Track().Event(0, {0x90, 64, 90}).Event(0, {0x90, 67, 90}).Event(480, {0x80, 64, 0}).Event(0, {0x80, 67, 0}).End(0);
  return song;
}

TEST_F(RunLeftovers, NothingOfARunOrAPressReachesTheNext) {
  struct Case {
    const char* name;
    std::vector<Track> song;
    std::function<void()> play;
  };
  const Case cases[] = {
      {"a game on t3 mutes it; the next DEMO plays it", TwoCs(),
       [this] {
         song::ChoosePart(song::FindPart("t3"));
         Run(game::kButtonGame);
         PassTo(600);
         EXPECT_EQ(FirstNoteOn(2), 0u) << "muted in the game";
         ClickButton(game::kButtonStop);
         Run(game::kButtonDemo);
         PassTo(600);
         EXPECT_NEAR(FirstNoteOn(2), 500, 16);
       }},
      {"a run stopped in a halt; the next DEMO's clock runs", ChordFirst(),
       [this] {
         Run(game::kButtonTraining);
         PassTo(3000);
         ClickButton(game::kButtonStop);
         Run(game::kButtonDemo);
         PassTo(600);
         EXPECT_NEAR(FirstNoteOn(2), 500, 16);
       }},
      {"a computer key's moment; the MIDI note after it is judged from its arrival", TwoCs(),
       [this] {
         Run(game::kButtonGame);
         const std::uint32_t first = PassToHalt();
         Key('A', true, first + 20);
         Key('A', false, first + 60);
         const std::uint32_t second = PassToHalt();
         PassTo(second + 10);
         pt::PushMidiInput({platform::MidiInputEvent::NoteOn, 0, 60, 90});
         PassTo(second + 20);
         EXPECT_EQ(LastOffset(), 10);
       }},
      {"a key let go and pressed again at once is a new press", TwoCs(),
       [this] {
         Run(game::kButtonGame);
         const std::uint32_t first = PassToHalt();
         Key('A', true, first + 20);
         PassTo(first + 40);  // taken: the song goes on, the key held
         const std::uint32_t second = PassToHalt();
         Key('A', false, second + 10);
         Key('A', true, second + 20);
         EXPECT_EQ(game::JudgedPresses().size(), 2u);
         EXPECT_EQ(LastOffset(), 20);
       }},
      {"a chord half taken in a stopped game; the next game's first key", ChordFirst(),
       [this] {
         Run(game::kButtonGame);  // halted from the pass after the click, at 16
         Key('D', true, 320);     // E4, late
         PassTo(330);
         EXPECT_EQ(LastOffset(), 304);
         ClickButton(game::kButtonStop);
         Run(game::kButtonGame);  // halted at 16 again
         Key('G', true, 20);      // G4, 78 ms after E4 went down
         PassTo(30);
         EXPECT_EQ(game::JudgedPresses().size(), 1u);
         EXPECT_EQ(LastOffset(), 4) << "judged as this run's first key";
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ResetProgram(1);
    StartWithSong(c.song);
    c.play();
    for (int key : {'A', 'D', 'G'}) KeyUp(key);
  }
}

}  // namespace
