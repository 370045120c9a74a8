// The program's reset reaches every module state by its declaration.
#include <gtest/gtest.h>

#include <string>

#include "app/module_reset.h"
#include "base/module_state.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"

namespace {

struct Sample {
  int count = 7;
  std::string name = "start";
};
base::ModuleState<Sample> sample;

TEST(ModuleState, TheProgramsResetPutsEveryDeclaredStateBack) {
  sample.count = 1;
  sample.name = "changed";
  player::SetPlaybackSpeedPercent(50);
  player::SetLoopFollowed(false);
  const int states = base::ModuleStateCount();
  app::ResetAllModules();
  EXPECT_EQ(sample.count, 7);
  EXPECT_EQ(sample.name, "start");
  EXPECT_EQ(player::PlaybackSpeedPercent(), player::kFullSpeedPercent);
  EXPECT_EQ(base::ModuleStateCount(), states) << "a reset registers nothing new";
  sample.count = 2;
  sample.Reset();
  EXPECT_EQ(sample.count, 7);
}

}  // namespace
