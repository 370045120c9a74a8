// Files in the program's directory (the directory of /proc/self/exe).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/platform.h"

namespace platform {

static std::string ProgramDirectory() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "./";
  std::string directory(path, static_cast<std::size_t>(length));
  return directory.substr(0, directory.find_last_of('/') + 1);
}

// The largest artwork is about 2 MB: a file beyond this is no picture of
// the program's (and one that never ends, a link to /dev/zero, stops here).
static constexpr std::size_t kLargestProgramFile = 32u << 20;

bool ReadProgramFile(const char* name, std::string& bytes) {
  int fd;
  do fd = open((ProgramDirectory() + name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  struct stat status {};
  bool ok = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
            static_cast<std::size_t>(status.st_size) <= kLargestProgramFile;
  bytes.clear();
  char block[65536];
  while (ok) {
    const ssize_t got = read(fd, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    bytes.append(block, static_cast<std::size_t>(got));
    ok = bytes.size() <= kLargestProgramFile;  // a file that grows while read
  }
  close(fd);
  if (!ok) bytes.clear();
  return ok;
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
