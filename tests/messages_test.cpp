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

// Every box speaks the system's language: titles, failure reports and the
// messages of the program's own modules.
TEST_F(Messages, BoxesSpeakTheSystemsLanguage) {
  struct Case {
    bool japanese;
    const char* errorTitle;
    const char* report;
    const char* messageTitle;
  };
  const Case cases[] = {
      {true, "エラー発生", "elSystem::SetWait : ウェイトNoが範囲外です", "メッセージ"},
      {false, "Error", "elSystem::SetWait : no such wait slot", "Message"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.japanese);
    SetUp();
    pt::SetSystemLanguageJapanese(c.japanese);
    EXPECT_EQ(elSystem::SetWait(0, 10), 0);
    draw::ShowMessage("a message");
    draw::AskYesNo("a question");
    ASSERT_EQ(pt::Boxes().size(), 3u);
    EXPECT_EQ(pt::Boxes()[0].kind, platform::BoxKind::Warning);
    EXPECT_EQ(pt::Boxes()[0].title, c.errorTitle);
    EXPECT_EQ(pt::Boxes()[0].text, c.report) << "routine : message";
    EXPECT_EQ(pt::BeepCount(), 1) << "only the failure report beeps";
    EXPECT_EQ(pt::Boxes()[1].title, c.messageTitle);
    EXPECT_EQ(pt::Boxes()[1].text, "a message\n") << "a line break appended";
    EXPECT_EQ(pt::Boxes()[2].title, c.messageTitle);
    EXPECT_FALSE(draw::MessageBoxOpen());
  }
}

TEST_F(Messages, AskYesNoAnswersAndShowsTheCursor) {
  draw::SetSystemCursorShown(false);
  pt::ScriptAnswers({true, false});
  EXPECT_TRUE(draw::AskYesNo("Do you exit ?"));
  EXPECT_TRUE(draw::SystemCursorShown());
  EXPECT_EQ(pt::CursorShowBalance(), 0) << "hidden once, shown once";
  EXPECT_FALSE(draw::AskYesNo("Do you exit ?"));
  EXPECT_FALSE(draw::AskYesNo("Do you exit ?")) << "no scripted answer is No";
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
  report::ReportError(huge.c_str(), {huge.c_str(), huge.c_str()}, 0);
  // A cut never leaves half of a multi-byte character.
  std::string japanese;
  for (int i = 0; i < 400; ++i) japanese += "曲";
  draw::AskYesNo("%s", japanese.c_str());
  ASSERT_EQ(pt::Boxes().size(), 3u);
  for (const auto& box : pt::Boxes()) EXPECT_LT(box.text.size(), static_cast<std::size_t>(report::kMessageTextSize));
  EXPECT_EQ(pt::Boxes()[2].text.size() % 3, 1u) << "whole characters and the line break";
}

}  // namespace
