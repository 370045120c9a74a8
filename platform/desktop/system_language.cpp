// The user's language and code page, from the POSIX locale variables and
// TONQUILL_CODEPAGE. Both are read once: they do not change during a run.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/common/locale_name.h"
#include "platform/platform.h"

namespace platform {

static bool ReadLanguageIsJapanese() {
  // The first non-empty variable decides, as the C library itself does.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return LocaleNameIsJapanese(value);
  }
  return false;
}

bool SystemLanguageIsJapanese() {
  static const bool japanese = ReadLanguageIsJapanese();
  return japanese;
}

// TONQUILL_CODEPAGE=932 or 1252 overrides the code page of the language.
static CodePage ReadAnsiCodePage() {
  const char* chosen = std::getenv("TONQUILL_CODEPAGE");
  if (chosen != nullptr && std::strcmp(chosen, "932") == 0) return CodePage::Cp932;
  if (chosen != nullptr && std::strcmp(chosen, "1252") == 0) return CodePage::Windows1252;
  if (chosen != nullptr && chosen[0] != '\0')
    std::fprintf(stderr, "tonquill: TONQUILL_CODEPAGE=%s is neither 932 nor 1252; the system language decides\n", chosen);
  return SystemLanguageIsJapanese() ? CodePage::Cp932 : CodePage::Windows1252;
}

CodePage AnsiCodePage() {
  static const CodePage page = ReadAnsiCodePage();
  return page;
}

}  // namespace platform
