// Failure reports, messages and questions.
#include <gtest/gtest.h>

#include <string>

#include "draw/system_cursor.h"
#include "draw/messages.h"
#include "midi/timing.h"
#include "platform/testing/testing.h"
#include "report/report.h"

namespace {

namespace pt = platform::testing;

class Messages : public ::testing::Test {
 protected:
  void SetUp() override {
    pt::Reset();
    draw::ResetSystemCursor();
    midi::InitTimingServices();
  }
};

TEST_F(Messages, FailureReportComposesNameAndMessage) {
  EXPECT_EQ(report::ReportError("elDraw::LoadObject", "オブジェクト数が多過ぎます", -5), 0);
  ASSERT_EQ(pt::Boxes().size(), 1u);
  EXPECT_EQ(pt::Boxes()[0].kind, platform::BoxKind::Warning);
  EXPECT_EQ(pt::Boxes()[0].title, "エラー発生");
  EXPECT_EQ(pt::Boxes()[0].text, "elDraw::LoadObject : オブジェクト数が多過ぎます");
  EXPECT_EQ(pt::BeepCount(), 1);
}

TEST_F(Messages, ShowMessageAppendsALineBreakAndDoesNotBeep) {
  draw::ShowMessage("%s\n", "ファイルが選択されていません。");
  ASSERT_EQ(pt::Boxes().size(), 1u);
  EXPECT_EQ(pt::Boxes()[0].title, "メッセージ");
  EXPECT_EQ(pt::Boxes()[0].text, "ファイルが選択されていません。\n\n");
  EXPECT_EQ(pt::BeepCount(), 0);
  EXPECT_FALSE(draw::MessageBoxOpen());
}

TEST_F(Messages, AskYesNoAnswersAndShowsTheCursor) {
  draw::SetSystemCursorShown(false);
  pt::ScriptAnswers({true, false});
  EXPECT_EQ(draw::AskYesNo("Do you exit ?"), 1);
  EXPECT_TRUE(draw::SystemCursorShown());
  EXPECT_EQ(pt::CursorShowBalance(), 0) << "hidden once, shown once";
  EXPECT_EQ(draw::AskYesNo("Do you exit ?"), 0);
  EXPECT_EQ(draw::AskYesNo("Do you exit ?"), 0) << "no scripted answer is No";
  EXPECT_EQ(pt::Boxes()[0].kind, platform::BoxKind::Question);
  EXPECT_EQ(pt::Boxes()[0].text, "Do you exit ?\n");
}

TEST_F(Messages, FrameStampRestartsAfterABox) {
  pt::SetTime(1000);
  midi::ResetFrameStamp();
  pt::AdvanceTime(7000);  // the user reads the box
  draw::ShowMessage("wait");
  pt::AdvanceTime(16);
  midi::AdvanceFrameStamp();
  EXPECT_FLOAT_EQ(midi::FrameDelta(), 0.016f);
}

TEST_F(Messages, FormattingIsBounded) {
  const std::string huge(5000, 'x');
  draw::ShowMessage("%s%s", huge.c_str(), huge.c_str());
  report::ReportError(huge.c_str(), huge.c_str(), 0);
  // A cut never leaves half of a multi-byte character.
  std::string japanese;
  for (int i = 0; i < 400; ++i) japanese += "曲";
  draw::AskYesNo("%s", japanese.c_str());
  ASSERT_EQ(pt::Boxes().size(), 3u);
  for (const auto& box : pt::Boxes()) EXPECT_LT(box.text.size(), static_cast<std::size_t>(report::kMessageTextSize));
  EXPECT_EQ(pt::Boxes()[2].text.size() % 3, 1u) << "whole characters and the line break";
}

}  // namespace
