#include "platform/common/locale_name.h"

#include <cstring>

namespace platform {

bool LocaleNameIsJapanese(const char* name) {
  if (name == nullptr) return false;
  return std::strncmp(name, "ja", 2) == 0 && (name[2] == '\0' || name[2] == '_' || name[2] == '.' || name[2] == '@');
}

}  // namespace platform
