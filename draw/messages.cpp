#include "draw/messages.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "draw/system_cursor.h"
#include "midi/timing.h"
#include "platform/platform.h"

namespace draw {

static bool messageBoxOpen = false;

bool MessageBoxOpen() { return messageBoxOpen; }

// Cuts a text that filled its buffer back to a whole UTF-8 character.
static void TrimPartialCharacter(char* text) {
  std::size_t length = std::strlen(text);
  std::size_t start = length;
  while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) --start;
  if (start == 0) return;
  const auto lead = static_cast<unsigned char>(text[start - 1]);
  const std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (length - (start - 1) < need) text[start - 1] = '\0';
}

// Formats into a bounded buffer and appends a line break when it fits.
static void Compose(char (&text)[kMessageTextSize], const char* format, std::va_list args) {
  std::vsnprintf(text, sizeof text, format, args);
  TrimPartialCharacter(text);
  const std::size_t length = std::strlen(text);
  if (length + 1 < sizeof text) std::memcpy(text + length, "\n", 2);
}

// The two user-facing boxes: the cursor shown, the open flag held while the
// user reads, and the frame stamp restarted afterwards. True for Yes.
static bool ShowComposed(bool question, const char* format, std::va_list args) {
  char text[kMessageTextSize];
  Compose(text, format, args);
  app::SetSystemCursorShown(true);
  messageBoxOpen = true;
  bool yes = false;
  if (question) yes = platform::AskQuestion(kMessageTitle, text);
  else platform::ShowMessageBox(platform::BoxKind::Warning, kMessageTitle, text);
  messageBoxOpen = false;
  midi::ResetFrameStamp();
  return yes;
}

int ReportError(const char* routine, const char* message, long /*result*/) {
  char text[kMessageTextSize];
  std::snprintf(text, sizeof text, "%s : %s", routine, message);
  TrimPartialCharacter(text);
  platform::Beep();
  platform::ShowMessageBox(platform::BoxKind::Warning, kErrorTitle, text);
  return 0;
}

void ShowMessage(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  ShowComposed(false, format, args);
  va_end(args);
}

int AskYesNo(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  const bool yes = ShowComposed(true, format, args);
  va_end(args);
  return yes ? 1 : 0;
}

}  // namespace draw
