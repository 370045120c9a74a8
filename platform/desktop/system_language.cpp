// The user's language, from the POSIX locale variables.
#include <cstdlib>

#include "platform/common/locale_name.h"
#include "platform/platform.h"

namespace platform {

bool SystemLanguageIsJapanese() {
  // The first non-empty variable decides, as the C library itself does.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return LocaleNameIsJapanese(value);
  }
  return false;
}

}  // namespace platform
