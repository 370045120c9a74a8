#include "private_home.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace test {

namespace {

namespace fs = std::filesystem;

constexpr const char* kPrefix = "tonquill-home-";

// A home is named after the process that made it: tonquill-home-PID-XXXXXX.
// One whose process is gone was left by a kill (a time limit, a crash) and
// is removed; a home of a running process, or of another user, is kept.
void RemoveHomesOfEndedProcesses(const fs::path& temporary) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(temporary, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(kPrefix, 0) != 0) continue;
    char* end = nullptr;
    const long pid = std::strtol(name.c_str() + std::string(kPrefix).size(), &end, 10);
    struct stat info {};
    if (pid <= 0 || *end != '-' || lstat(entry.path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != getuid())
      continue;
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) fs::remove_all(entry.path(), error);
  }
}

}  // namespace

PrivateHome::PrivateHome() : owner_(static_cast<int>(getpid())) {
  const char* temporary = std::getenv("TMPDIR");
  const std::string parent = temporary != nullptr && *temporary != '\0' ? temporary : "/tmp";
  RemoveHomesOfEndedProcesses(parent);
  std::string pattern = parent + "/" + kPrefix + std::to_string(owner_) + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("cannot make the private home");
    std::exit(1);
  }
  path_ = pattern;
  setenv("HOME", path_.c_str(), 1);
  setenv("XDG_DATA_HOME", (path_ + "/.local/share").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (path_ + "/.config").c_str(), 1);
  setenv("XDG_CACHE_HOME", (path_ + "/.cache").c_str(), 1);
  setenv("XDG_STATE_HOME", (path_ + "/.local/state").c_str(), 1);
  // The session's sockets and locks (the sound server's, the desktop
  // settings') go here too rather than into the user's running session,
  // and so does every temporary file: a killed process leaves one folder.
  for (const char* folder : {"runtime", "tmp"}) mkdir((path_ + "/" + folder).c_str(), 0700);
  setenv("XDG_RUNTIME_DIR", (path_ + "/runtime").c_str(), 1);
  setenv("TMPDIR", (path_ + "/tmp").c_str(), 1);
}

PrivateHome::~PrivateHome() {
  if (static_cast<int>(getpid()) != owner_) return;
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void PrivateHome::EmptyDataFolders() const {
  for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"}) {
    const char* folder = std::getenv(name);
    if (folder == nullptr || std::string(folder).rfind(path_ + "/", 0) != 0) continue;
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
}

}  // namespace test
