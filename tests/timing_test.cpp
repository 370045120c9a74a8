// Wait slots, the pausable playback time base, frame stamps and blinking.
#include <gtest/gtest.h>

#include "draw/messages.h"
#include "midi/timing.h"
#include "platform/testing/testing.h"

namespace {

namespace pt = platform::testing;

class Timing : public ::testing::Test {
 protected:
  void SetUp() override {
    pt::Reset();
    pt::SetTime(5000);
    midi::InitTimingServices();
  }
};

TEST_F(Timing, SlotNumbersOutsideOneToTenAreReported) {
  for (int slot : {0, 11}) {
    EXPECT_EQ(elSystem::SetWait(slot, 100), 0);
  }
  ASSERT_EQ(pt::Boxes().size(), 2u);
  EXPECT_EQ(pt::Boxes()[0].title, "Error");
  EXPECT_EQ(pt::Boxes()[0].text, "elSystem::SetWait : no such wait slot");
  EXPECT_EQ(pt::BeepCount(), 2);
  EXPECT_EQ(elSystem::SetWait(10, 100), 1);
  EXPECT_EQ(pt::Boxes().size(), 2u);
}

TEST_F(Timing, WaitSlots) {
  EXPECT_FALSE(midi::IsWaitOver(1)) << "never armed";
  elSystem::SetWait(1, 0);
  EXPECT_TRUE(midi::IsWaitOver(1));
  elSystem::SetWait(2, 70);
  pt::AdvanceTime(69);
  EXPECT_FALSE(midi::IsWaitOver(2));
  pt::AdvanceTime(1);
  EXPECT_TRUE(midi::IsWaitOver(2));
}

TEST_F(Timing, DeadlineAcrossTheWrap) {
  pt::SetTime(0xFFFFFFF0u);
  elSystem::SetWait(1, 400);  // the deadline wraps to 0x180
  EXPECT_FALSE(midi::IsWaitOver(1));
  pt::AdvanceTime(0x10 + 0x17F);
  EXPECT_FALSE(midi::IsWaitOver(1));
  pt::AdvanceTime(1);
  EXPECT_TRUE(midi::IsWaitOver(1));
}

TEST_F(Timing, PauseAndSkipRemoveTheHalt) {
  midi::SetClockOrigin();
  pt::AdvanceTime(1200);
  midi::MarkClockPause();
  pt::AdvanceTime(5000);
  midi::SkipPausedTime();
  EXPECT_EQ(midi::SongClockMs(), 1200u);
  // Across the wrap as well.
  pt::SetTime(0xFFFFFF00u);
  midi::SetClockOrigin();
  pt::AdvanceTime(0x80);
  midi::MarkClockPause();
  pt::AdvanceTime(5000);
  midi::ResumeClockOrigin();
  pt::AdvanceTime(20);
  EXPECT_EQ(midi::SongClockMs(), 0x80u + 20u);
}

TEST_F(Timing, FrameStampAndDelta) {
  pt::AdvanceTime(16);
  midi::AdvanceFrameStamp();
  EXPECT_FLOAT_EQ(midi::FrameDelta(), 0.016f);
  EXPECT_EQ(midi::FrameStamp(), 5016u);
  pt::AdvanceTime(3000);
  midi::ResetFrameStamp();
  EXPECT_EQ(midi::FrameDelta(), 0.0f);
  pt::AdvanceTime(17);
  midi::AdvanceFrameStamp();
  EXPECT_FLOAT_EQ(midi::FrameDelta(), 0.017f);
}

TEST_F(Timing, BlinkIsOnForASecondAndOffForAFifth) {
  auto phaseAt = [](std::uint32_t t) {
    pt::SetTime(5000 + t);
    midi::AdvanceBlink();
    return midi::BlinkPhase();
  };
  EXPECT_TRUE(phaseAt(999));
  EXPECT_FALSE(phaseAt(1000));
  EXPECT_FALSE(phaseAt(1199));
  EXPECT_TRUE(phaseAt(1200));
  EXPECT_TRUE(phaseAt(2199));
  EXPECT_FALSE(phaseAt(2200));
}

}  // namespace
