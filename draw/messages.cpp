#include "draw/messages.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "base/module_state.h"
#include "draw/system_cursor.h"
#include "midi/timing.h"
#include "platform/platform.h"
#include "report/report.h"

namespace draw {

namespace {
struct State {
  bool messageBoxOpen = false;
};
base::ModuleState<State> state;
}  // namespace

bool MessageBoxOpen() { return state.messageBoxOpen; }

// Formats into a bounded buffer and appends a line break when it fits.
static void Compose(char (&text)[report::kMessageTextSize], const char* format, std::va_list args) {
  std::vsnprintf(text, sizeof text, format, args);
  report::TrimPartialCharacter(text);
  const std::size_t length = std::strlen(text);
  if (length + 1 < sizeof text) std::memcpy(text + length, "\n", 2);
}

// The two user-facing boxes: the cursor shown, the open flag held while the
// user reads, and the frame stamp restarted afterwards. True for Yes.
static bool ShowComposed(bool question, const char* format, std::va_list args) {
  char text[report::kMessageTextSize];
  Compose(text, format, args);
  SetSystemCursorShown(true);
  state.messageBoxOpen = true;
  bool yes = false;
  const char* title = InPlayersLanguage(kMessageTitle);
  if (question) yes = platform::AskQuestion(title, text);
  else platform::ShowMessageBox(platform::BoxKind::Warning, title, text);
  state.messageBoxOpen = false;
  midi::ResetFrameStamp();
  return yes;
}

void ShowMessage(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  ShowComposed(false, format, args);
  va_end(args);
}

bool AskYesNo(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  const bool yes = ShowComposed(true, format, args);
  va_end(args);
  return yes;
}

}  // namespace draw
