// The testing backend's clock, message boxes and cursor visibility.
#include <algorithm>

#include "platform/testing/testing.h"

namespace platform {

// The manual clock, the boxes shown and the answers scripted for questions.
static std::uint32_t now = 0;
static std::vector<testing::Box> boxes;
static std::deque<bool> scriptedAnswers;
static int beepCount = 0;
static int cursorShowBalance = 0;

std::uint32_t TimeMs() { return now; }

bool ServeHelperCommandLine(int, char**, int&) { return false; }

void ShowMessageBox(BoxKind kind, std::string_view title, std::string_view text) {
  boxes.push_back({kind, std::string(title), std::string(text), now});
}

bool AskQuestion(std::string_view title, std::string_view text) {
  boxes.push_back({BoxKind::Question, std::string(title), std::string(text), now});
  if (scriptedAnswers.empty()) return false;
  const bool answer = scriptedAnswers.front();
  scriptedAnswers.pop_front();
  return answer;
}

void Beep() { ++beepCount; }

void ShowSystemCursor(bool shown) { cursorShowBalance += shown ? 1 : -1; }

namespace testing {

void ResetClockAndBoxes() {
  now = 0;
  boxes.clear();
  scriptedAnswers.clear();
  beepCount = 0;
  cursorShowBalance = 0;
}

void SetTime(std::uint32_t ms) { now = ms; }
void AdvanceTime(std::uint32_t ms) { now += ms; }
const std::vector<Box>& Boxes() { return boxes; }
int BeepCount() { return beepCount; }
void ScriptAnswers(std::vector<bool> answers) { scriptedAnswers.assign(answers.begin(), answers.end()); }
int CursorShowBalance() { return cursorShowBalance; }

}  // namespace testing
}  // namespace platform
