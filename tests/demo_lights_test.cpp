// DEMO lights the keys of the guide part's notes while they sound, in the
// look of the note to play; the keys go dark when the run stops.
#include "game/controls.h"
#include "game/piano_keys.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"
#include "program_fixture.h"

namespace {

using test::Track;

// 120 beats per minute at 480 ticks (a tick is 1.0417 ms). The guide plays
// E4 from tick 960 to 1360 and G4 from 1920 on, never released; the band
// (track 3) plays D4 throughout.
std::vector<Track> DemoSong() {
  Track conductor, guide, band;
  conductor.Tempo(0, 500000).End(3840);
  guide.Event(960, {0x90, 64, 90}).Event(400, {0x80, 64, 0}).Event(560, {0x90, 67, 80}).End(0);
  band.Event(0, {0x92, 62, 50}).Event(3800, {0x82, 62, 0}).End(0);
  return {conductor, guide, band};
}

class DemoLights : public test::ProgramTest {
 protected:
  // The look a white key from C4 to B4 shows, by its lower part; -1 for none.
  static int LookOf(int note) {
    constexpr int kColumn[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
    for (int look = 0; look < 4; ++look)
      if (ShowsArtwork(8 + 52 * kColumn[note - 60], 400, {52 * look, 616, 52 * look + 52, 688})) return look;
    return -1;
  }
};

TEST_F(DemoLights, TheGuidesSoundingNotesAreLit) {
  constexpr int kUp = game::kKeyLookUp, kLit = game::kKeyLookLit;
  struct Step {
    std::uint32_t ms;  // after the click on DEMO
    int e4, g4;        // the looks of E4 and G4
  };
  const Step steps[] = {{500, kUp, kUp}, {1100, kLit, kUp}, {1500, kUp, kUp}, {2100, kUp, kLit}, {3800, kUp, kLit}};
  for (const bool stopByHand : {false, true}) {
    SCOPED_TRACE(stopByHand ? "stopped by hand" : "played to its end");
    test::ResetProgram(1);
    StartWithSong(DemoSong());
    ClickButton(game::kButtonDemo);
    const std::uint32_t started = platform::TimeMs();
    for (const Step& step : steps) {
      if (stopByHand && step.ms > 2100) break;
      PassUntil(started + step.ms);
      SCOPED_TRACE(step.ms);
      EXPECT_EQ(LookOf(64), step.e4);
      EXPECT_EQ(LookOf(67), step.g4);
      EXPECT_EQ(LookOf(62), kUp) << "the band's note is not lit";
    }
    if (stopByHand) ClickButton(game::kButtonStop);
    else PassUntil(started + 4200);
    EXPECT_EQ(player::PlayState(), player::kStopped);
    Pass();
    EXPECT_EQ(LookOf(67), kUp) << "dark once the run stops";
  }
}

// A loop over the first measure jumps back while the guide's E4 sounds:
// the jump ends the note, so its key goes dark until the next pass plays it.
TEST_F(DemoLights, AJumpBackDarkensTheKeysOfTheNotesItEnds) {
  Track conductor, guide;
  conductor.Tempo(0, 500000).End(3840);
  guide.Event(960, {0x90, 64, 90}).Event(1440, {0x80, 64, 0}).End(0);
  StartWithSong({conductor, guide});
  player::SetLoop(0, 0);
  ClickButton(game::kButtonDemo);
  const std::uint32_t started = platform::TimeMs();
  const struct {
    std::uint32_t ms;
    int jumps, e4;
  } steps[] = {{1500, 0, game::kKeyLookLit}, {2100, 1, game::kKeyLookUp}, {3100, 1, game::kKeyLookLit}};
  for (const auto& step : steps) {
    PassUntil(started + step.ms);
    SCOPED_TRACE(step.ms);
    EXPECT_EQ(player::LoopJumpCount(), step.jumps);
    EXPECT_EQ(LookOf(64), step.e4);
  }
}

}  // namespace
