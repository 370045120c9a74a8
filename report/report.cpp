#include "report/report.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace report {

const char* InPlayersLanguage(const PlayerText& text) {
  return platform::SystemLanguageIsJapanese() ? text.japanese : text.english;
}

void TrimPartialCharacter(char* text) {
  std::size_t length = std::strlen(text);
  std::size_t start = length;
  while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) --start;
  if (start == 0) return;
  const auto lead = static_cast<unsigned char>(text[start - 1]);
  const std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (length - (start - 1) < need) text[start - 1] = '\0';
}

int ReportError(const char* routine, const PlayerText& message, long /*result*/) {
  char text[kMessageTextSize];
  std::snprintf(text, sizeof text, "%s : %s", routine, InPlayersLanguage(message));
  TrimPartialCharacter(text);
  platform::Beep();
  platform::ShowMessageBox(platform::BoxKind::Warning, InPlayersLanguage(kErrorTitle), text);
  return 0;
}

}  // namespace report
