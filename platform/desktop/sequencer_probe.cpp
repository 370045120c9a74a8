// The start-up probe: does the file exist and read as a Standard MIDI File?
#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace platform {

bool ProbeSequencer(const char* elementPath) {
  std::FILE* file = std::fopen(elementPath, "rb");
  if (file == nullptr) return false;
  unsigned char head[140] = {};
  const std::size_t got = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  // "MThd" at the start, or behind a 128-byte file header.
  if (got >= 14 && std::memcmp(head, "MThd", 4) == 0) return true;
  return got >= 140 && head[0] == 0 && std::memcmp(head + 128, "MThd", 4) == 0;
}

}  // namespace platform
