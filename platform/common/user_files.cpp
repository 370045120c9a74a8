// Files the program writes for the user: replaced whole, never half-written,
// and the user's own data folder. Both backends write real files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace platform {

namespace {

// Writes everything or reports the error number.
bool WriteAll(int fd, std::string_view bytes, int& errorNumber) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      errorNumber = wrote < 0 ? errno : ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view bytes, int& errorNumber) {
  std::string temporary = path + ".XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    errorNumber = errno;
    return false;
  }
  // The new file keeps the usual permissions rather than mkstemp's 0600.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  bool ok = WriteAll(fd, bytes, errorNumber);
  if (ok && fsync(fd) != 0) {
    errorNumber = errno;
    ok = false;
  }
  if (close(fd) != 0 && ok) {
    errorNumber = errno;
    ok = false;
  }
  if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
    errorNumber = errno;
    ok = false;
  }
  if (!ok) unlink(temporary.c_str());
  return ok;
}

std::string UserDataFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') return std::string(data) + "/tonquill";
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
    return std::string(home) + "/.local/share/tonquill";
  return "";
}

}  // namespace platform
