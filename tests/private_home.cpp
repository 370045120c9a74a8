#include "private_home.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace test {

PrivateHome::PrivateHome() : owner_(static_cast<int>(getpid())) {
  const char* temporary = std::getenv("TMPDIR");
  std::string pattern = std::string(temporary != nullptr && *temporary != '\0' ? temporary : "/tmp") + "/tonquill-home-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("cannot make the tests' private home");
    std::exit(1);
  }
  path_ = pattern;
  setenv("HOME", path_.c_str(), 1);
  setenv("XDG_DATA_HOME", (path_ + "/.local/share").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (path_ + "/.config").c_str(), 1);
  setenv("XDG_CACHE_HOME", (path_ + "/.cache").c_str(), 1);
  setenv("XDG_STATE_HOME", (path_ + "/.local/state").c_str(), 1);
  // The session's sockets and locks (the sound server's, the desktop
  // settings') go here too rather than into the user's running session.
  const std::string runtime = path_ + "/runtime";
  mkdir(runtime.c_str(), 0700);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

PrivateHome::~PrivateHome() {
  if (static_cast<int>(getpid()) != owner_) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace test
