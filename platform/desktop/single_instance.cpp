// One copy of the program: a lock file and a local socket in the user's
// runtime directory. A second copy asks the first, through the socket, to
// raise its window.
#include <SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/desktop/desktop.h"
#include "platform/platform.h"

namespace platform {

// The lock held while this copy runs, and the socket it listens on.
static int lockFile = -1;
static int listener = -1;
static std::string socketPath;

// $TONQUILL_INSTANCE_DIR, else $XDG_RUNTIME_DIR, else /tmp.
static std::string InstanceDirectory() {
  for (const char* name : {"TONQUILL_INSTANCE_DIR", "XDG_RUNTIME_DIR"})
    if (const char* dir = std::getenv(name); dir != nullptr && dir[0] != '\0') return dir;
  return "/tmp";
}

static std::string FileStem(const char* name) {
  std::string stem;
  for (const char* c = name; *c; ++c) stem += std::isalnum(static_cast<unsigned char>(*c)) ? static_cast<char>(std::tolower(*c)) : '-';
  return InstanceDirectory() + "/" + stem + "-" + std::to_string(getuid());
}

static bool Address(sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (socketPath.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  return true;
}

bool AcquireSingleInstance(const char* name) {
  const std::string stem = FileStem(name);
  socketPath = stem + ".sock";
  lockFile = open((stem + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFile >= 0 && flock(lockFile, LOCK_EX | LOCK_NB) == 0) {
    sockaddr_un address;
    unlink(socketPath.c_str());
    listener = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener >= 0 && (!Address(address) || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
                          listen(listener, 4) != 0)) {
      close(listener);
      listener = -1;
    }
    return true;
  }
  if (lockFile < 0) return true;  // no lock can be had: run rather than refuse
  // Another copy holds the lock: ask it to come to the front.
  const int client = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address;
  if (client >= 0 && Address(address) && connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
    (void)!write(client, "raise\n", 6);
  if (client >= 0) close(client);
  close(lockFile);
  lockFile = -1;
  return false;
}

void ReleaseSingleInstance() {
  if (listener >= 0) {
    close(listener);
    unlink(socketPath.c_str());
    listener = -1;
  }
  if (lockFile >= 0) {
    flock(lockFile, LOCK_UN);
    close(lockFile);
    lockFile = -1;
  }
}

namespace desktop {

void ServeRaiseRequests() {
  if (listener < 0) return;
  // Asked at every turn of the main loop: a poll costs less than an accept,
  // which makes a socket even when nobody knocks.
  pollfd waiting{listener, POLLIN, 0};
  if (poll(&waiting, 1, 0) <= 0) return;
  for (int client; (client = accept(listener, nullptr, nullptr)) >= 0;) {
    close(client);
    if (SDL_Window* window = MainWindow()) {
      SDL_RestoreWindow(window);
      SDL_RaiseWindow(window);
    }
  }
}

}  // namespace desktop
}  // namespace platform
