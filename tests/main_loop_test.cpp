// The main loop between frame passes: how long a pass that presented
// nothing gives the processor away, and input played before the next pass.
#include <gtest/gtest.h>

#include <vector>

#include "app/shell.h"
#include "game/controls.h"
#include "platform/testing/testing.h"
#include "player/run_step.h"
#include "program_fixture.h"

namespace {

namespace pt = platform::testing;
using platform::EventKind;
using test::Bytes;

class MainLoop : public test::ProgramTest {
 protected:
  // The longest wait the passes of `act` asked for (0: none waited).
  template <typename Act>
  static std::uint32_t LongestWait(Act act) {
    std::uint32_t longest = 0;
    for (int pass = 0; pass < 8; ++pass) {
      const int waits = pt::InputWaits();
      act();
      if (pt::InputWaits() > waits) longest = std::max(longest, pt::LastInputWaitMs());
    }
    return longest;
  }
};

// At rest the main screen waits for input (as long as the desktop allows),
// and so does a run that waits at a guide note for the player; while a song
// plays, and in the pass right after input, a pass waits a millisecond at
// most, as the song's events and what the input started need.
TEST_F(MainLoop, AnIdlePassWaitsForInputOnlyAtRest) {
  test::Track conductor, guide;
  conductor.Tempo(0, 500000).End(48000);
  for (int i = 0; i < 100; ++i) guide.Event(i == 0 ? 0 : 400, {0x90, 64, 90}).Event(80, {0x80, 64, 0});
  StartWithSong({conductor, guide.End(0)});
  EXPECT_GT(LongestWait([this] { Pass(); }), 1u) << "at rest";
  EXPECT_EQ(LongestWait([this] {
              pt::PushEvent({EventKind::MouseMove, 320, 400});
              Pass();
            }),
            1u)
      << "after input";
  ClickButton(game::kButtonDemo);
  EXPECT_EQ(LongestWait([this] { Pass(); }), 1u) << "a song playing";
  ClickButton(game::kButtonStop);
  Pass();
  EXPECT_GT(LongestWait([this] { Pass(); }), 1u) << "stopped: at rest again";
  ClickButton(game::kButtonTraining);  // the guide's first note at tick 0
  Pass();
  ASSERT_TRUE(player::WaitingForPlayer());
  EXPECT_GT(LongestWait([this] { Pass(); }), 1u) << "waiting for the player at a note";
  Tap('A');
  EXPECT_EQ(LongestWait([this] { Pass(); }), 1u) << "the note taken: the song plays on";
}

// A key pressed between two passes sounds before the next pass, and a key
// let go falls silent as soon; the passes after it find the note sounding.
TEST_F(MainLoop, AKeyBetweenPassesSoundsBeforeTheNextPass) {
  Start();
  pt::PushEvent({EventKind::KeyDown, 0, 0, 'A', 'A'});
  app::PumpOnce();  // the event
  app::PumpOnce();  // the piano, then a pass
  EXPECT_EQ(NoteOns(TakeSent()), (std::vector<Bytes>{{60, 100}}));
  Pass();
  Pass();
  EXPECT_TRUE(TakeSent().empty()) << "the passes find it sounding";
  pt::PushEvent({EventKind::KeyUp, 0, 0, 'A'});
  app::PumpOnce();
  app::PumpOnce();
  EXPECT_EQ(TakeSent(), (std::vector<Bytes>{{0x90, 60, 0}}));
}

}  // namespace
