// Files in the program's directory (the directory of /proc/self/exe).
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/platform.h"

namespace platform {

static std::string ProgramDirectory() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "./";
  std::string directory(path, static_cast<std::size_t>(length));
  return directory.substr(0, directory.find_last_of('/') + 1);
}

bool ReadProgramFile(const char* name, std::string& bytes) {
  std::ifstream in(ProgramDirectory() + name, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// The songs that come with the program: installed beside it in
// share/tonquill/songs, or in the source tree's assets/songs when it runs
// from a build folder inside that tree.
std::string BundledSongsFolder() {
  for (const char* relative : {"../share/tonquill/songs", "../assets/songs"}) {
    char resolved[PATH_MAX];
    if (realpath((ProgramDirectory() + relative).c_str(), resolved) != nullptr) return resolved;
  }
  return "";
}

}  // namespace platform
