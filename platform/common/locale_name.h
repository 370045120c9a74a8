// Reading the user's language from a POSIX locale name.
#pragma once

namespace platform {

// True when a locale name such as "ja_JP.UTF-8" names Japanese.
bool LocaleNameIsJapanese(const char* name);

}  // namespace platform
