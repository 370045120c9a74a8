// One copy of the program: a lock file and a local socket in a folder only
// this user can enter. A second copy asks the first, through the socket, to
// raise its window and perhaps to open a song; neither copy ever waits on
// the other for long.
#include <SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/desktop/desktop.h"
#include "platform/desktop/input_wait.h"
#include "platform/platform.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// A second copy that has connected and whose request is still coming.
struct Caller {
  int socket;
  std::string request;
  Clock::time_point since;
};

// The lock held while this copy runs, the socket it listens on, the callers
// being read, and what they asked for that is not yet done.
struct State {
  int lockFile = -1;
  int listener = -1;
  std::string socketPath;
  std::vector<Caller> callers;
  bool raiseWanted = false;
  bool songWaiting = false;
  std::string requestedSong;
};
State state;

// A second copy gives up after this long; the first drops a caller that
// has not finished its request by then.
constexpr Clock::duration kPatience = std::chrono::seconds(1);
constexpr std::size_t kLongestRequest = 8192;
constexpr std::size_t kMostCallers = 16;
constexpr int kBacklog = 16;
constexpr char kRaiseRequest[] = "raise\n";
constexpr char kOpenRequest[] = "open\n";
// What the running copy answers to a request it has taken. A request ends
// where its caller stops writing; the caller then waits for this answer, so
// a request that was dropped (too many callers at once) is never taken for
// delivered.
constexpr std::string_view kTakenAnswer = "taken\n";

// Why a folder is not private to this user, or "" when it is: a real folder
// (lstat: a link to one does not count), owned by the user, closed to
// group and others.
std::string WhyNotPrivate(const std::string& folder) {
  struct stat info;
  if (lstat(folder.c_str(), &info) != 0) return std::strerror(errno);
  if (S_ISLNK(info.st_mode)) return "a symbolic link";
  if (!S_ISDIR(info.st_mode)) return "not a folder";
  if (info.st_uid != getuid()) return "owned by user " + std::to_string(info.st_uid);
  if ((info.st_mode & 077) != 0) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
    return std::string("open to other users (mode ") + mode + ")";
  }
  return "";
}

// The folder of the lock and the socket: $TONQUILL_INSTANCE_DIR when set,
// else $XDG_RUNTIME_DIR when it is private, else a folder of our own made
// in $TMPDIR (or /tmp). Empty, with the reason said, when the folder found
// is not private.
std::string InstanceFolder() {
  std::string folder;
  if (const char* chosen = std::getenv("TONQUILL_INSTANCE_DIR"); chosen != nullptr && chosen[0] != '\0') {
    folder = chosen;
  } else if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
             runtime != nullptr && runtime[0] != '\0' && WhyNotPrivate(runtime).empty()) {
    return runtime;
  } else {
    const char* temporary = std::getenv("TMPDIR");
    folder = std::string(temporary != nullptr && temporary[0] == '/' ? temporary : "/tmp") + "/tonquill-" +
             std::to_string(getuid());
    mkdir(folder.c_str(), 0700);  // a folder already there is checked like a new one
  }
  if (const std::string problem = WhyNotPrivate(folder); !problem.empty()) {
    std::fprintf(stderr, "tonquill: %s is %s: the game runs without keeping to one copy\n", folder.c_str(),
                 problem.c_str());
    return "";
  }
  return folder;
}

std::string FileStem(const std::string& folder, const char* name) {
  std::string stem;
  for (const char* c = name; *c; ++c) stem += std::isalnum(static_cast<unsigned char>(*c)) ? static_cast<char>(std::tolower(*c)) : '-';
  return folder + "/" + stem + "-" + std::to_string(getuid());
}

bool Address(sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (state.socketPath.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, state.socketPath.c_str(), state.socketPath.size() + 1);
  return true;
}

void Listen() {
  sockaddr_un address;
  unlink(state.socketPath.c_str());
  state.listener = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (state.listener >= 0 && (!Address(address) || bind(state.listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
                        listen(state.listener, kBacklog) != 0)) {
    close(state.listener);
    state.listener = -1;
  }
}

// A connected socket to the running copy, or -1 after the deadline. A full
// backlog (the running copy not serving), or a socket not there yet (the
// running copy still starting), is tried again until then.
int ConnectBefore(Clock::time_point deadline) {
  sockaddr_un address;
  if (!Address(address)) return -1;
  for (;;) {
    const int client = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (client < 0) return -1;
    if (connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return client;
    const int error = errno;
    if (error == EINPROGRESS) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      pollfd writable{client, POLLOUT, 0};
      int status = 0;
      socklen_t length = sizeof status;
      if (left > 0 && poll(&writable, 1, static_cast<int>(left)) > 0 &&
          getsockopt(client, SOL_SOCKET, SO_ERROR, &status, &length) == 0 && status == 0)
        return client;
    }
    close(client);
    const bool worthAnotherTry = error == EAGAIN || error == EINPROGRESS || error == ECONNREFUSED || error == ENOENT ||
                                 error == EINTR;
    if (!worthAnotherTry || Clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// Sends the whole request before the deadline; false when it could not.
bool SendBefore(int client, const std::string& request, Clock::time_point deadline) {
  for (std::size_t sent = 0; sent < request.size();) {
    const ssize_t put = send(client, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (put > 0) {
      sent += static_cast<std::size_t>(put);
      continue;
    }
    if (put < 0 && errno != EAGAIN && errno != EINTR) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd writable{client, POLLOUT, 0};
    if (left <= 0 || poll(&writable, 1, static_cast<int>(left)) < 0) return false;
  }
  return true;
}

// Whether the running copy answers that it took the request before the
// deadline; the connection closed without the answer, or none in time,
// means it did not.
bool AnsweredBefore(int client, Clock::time_point deadline) {
  std::string answer;
  char buffer[16];
  while (answer.size() < kTakenAnswer.size()) {
    const ssize_t got = recv(client, buffer, sizeof buffer, 0);
    if (got > 0) {
      answer.append(buffer, static_cast<std::size_t>(got));
      continue;
    }
    if (got == 0 || (errno != EAGAIN && errno != EINTR)) break;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd readable{client, POLLIN, 0};
    if (left <= 0 || poll(&readable, 1, static_cast<int>(left)) < 0) break;
  }
  return answer == kTakenAnswer;
}

bool AskRunningCopy(const std::string& song) {
  const Clock::time_point deadline = Clock::now() + kPatience;
  const int client = ConnectBefore(deadline);
  if (client < 0) return false;
  const bool taken = SendBefore(client, song.empty() ? std::string(kRaiseRequest) : kOpenRequest + song, deadline) &&
                     shutdown(client, SHUT_WR) == 0 && AnsweredBefore(client, deadline);
  close(client);
  return taken;
}

// Whether a whole request is one this copy knows.
bool IsRequest(const std::string& request) {
  return request == kRaiseRequest || (request.rfind(kOpenRequest, 0) == 0 && request.size() > std::strlen(kOpenRequest) &&
                                      request.find('\0') == std::string::npos);
}

// Does what a request asks for.
void TakeRequest(const std::string& request) {
  if (request != kRaiseRequest) {
    state.requestedSong = request.substr(std::strlen(kOpenRequest));
    state.songWaiting = true;
  }
  state.raiseWanted = true;
}

// Takes the connections waiting, from this user only.
void AcceptCallers() {
  for (int client; (client = accept4(state.listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;) {
    ucred peer{};
    socklen_t length = sizeof peer;
    if (state.callers.size() >= kMostCallers || getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 ||
        peer.uid != getuid()) {
      close(client);
      continue;
    }
    state.callers.push_back({client, {}, Clock::now()});
  }
}

// Reads what a caller has sent so far; true once the caller is done with
// (its request ended and was taken, or it was too long or too slow).
bool ReadCaller(Caller& caller) {
  char buffer[1024];
  for (;;) {
    const ssize_t got = recv(caller.socket, buffer, sizeof buffer, 0);
    if (got > 0) {
      caller.request.append(buffer, static_cast<std::size_t>(got));
      if (caller.request.size() > kLongestRequest) return true;
    } else if (got == 0) {
      // Taken only once the caller has the answer: one that gave up waiting
      // (gone, so the answer cannot be sent) has said its song is not opened.
      if (IsRequest(caller.request) &&
          send(caller.socket, kTakenAnswer.data(), kTakenAnswer.size(), MSG_NOSIGNAL | MSG_DONTWAIT) ==
              static_cast<ssize_t>(kTakenAnswer.size()))
        TakeRequest(caller.request);
      return true;
    } else if (errno != EINTR) {
      return errno != EAGAIN || Clock::now() - caller.since > kPatience;
    }
  }
}

void ForgetCallers() {
  for (const Caller& caller : state.callers) close(caller.socket);
  state.callers.clear();
}

}  // namespace

InstanceStart AcquireSingleInstance(const char* name, const std::string& song) {
  const std::string folder = InstanceFolder();
  if (folder.empty()) return InstanceStart::OnlyCopy;
  const std::string stem = FileStem(folder, name);
  state.socketPath = stem + ".sock";
  // No link is followed, and a FIFO planted there cannot hold the start.
  state.lockFile = open((stem + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  struct stat info;
  if (state.lockFile < 0 || fstat(state.lockFile, &info) != 0 || !S_ISREG(info.st_mode)) {
    std::fprintf(stderr, "tonquill: %s.lock cannot be used (%s): the game runs without keeping to one copy\n",
                 stem.c_str(), state.lockFile < 0 ? std::strerror(errno) : "not a regular file");
    if (state.lockFile >= 0) close(state.lockFile);
    state.lockFile = -1;
    return InstanceStart::OnlyCopy;
  }
  if (flock(state.lockFile, LOCK_EX | LOCK_NB) == 0) {
    Listen();
    return InstanceStart::OnlyCopy;
  }
  const bool heldByAnotherCopy = errno == EWOULDBLOCK;
  close(state.lockFile);
  state.lockFile = -1;
  if (!heldByAnotherCopy) return InstanceStart::OnlyCopy;  // no lock can be had: run rather than refuse
  return AskRunningCopy(song) ? InstanceStart::RunningCopyAsked : InstanceStart::NoAnswer;
}

void ReleaseSingleInstance() {
  ForgetCallers();
  if (state.listener >= 0) {
    close(state.listener);
    unlink(state.socketPath.c_str());
    state.listener = -1;
  }
  if (state.lockFile >= 0) {
    flock(state.lockFile, LOCK_UN);
    close(state.lockFile);
  }
  state = {};
}

bool TakeRequestedSong(std::string& path) {
  if (!state.songWaiting) return false;
  path = state.requestedSong;
  state.songWaiting = false;
  return true;
}

namespace desktop {

void ServeSecondCopies(bool dialogUp) {
  if (state.listener < 0) return;
  // Asked at every turn of the main loop: a poll costs less than an accept,
  // which makes a socket even when nobody knocks.
  pollfd waiting{state.listener, POLLIN, 0};
  if (poll(&waiting, 1, 0) > 0) AcceptCallers();
  state.callers.erase(std::remove_if(state.callers.begin(), state.callers.end(),
                               [](Caller& caller) {
                                 if (!ReadCaller(caller)) return false;
                                 close(caller.socket);
                                 return true;
                               }),
                state.callers.end());
  // Over a dialog the window would hide it (with no window manager, for
  // good): it comes forward once the dialog is gone.
  if (!state.raiseWanted || dialogUp) return;
  state.raiseWanted = false;
  if (SDL_Window* window = MainWindow()) {
    SDL_RestoreWindow(window);
    SDL_RaiseWindow(window);
  }
}

bool SecondCopyWaiting(std::vector<pollfd>& descriptors, WaitClock::time_point& deadline) {
  if (state.listener < 0) return false;
  descriptors.push_back({state.listener, POLLIN, 0});
  for (const Caller& caller : state.callers) {
    descriptors.push_back({caller.socket, POLLIN, 0});
    deadline = std::min(deadline, caller.since + kPatience + std::chrono::milliseconds(1));
  }
  return false;
}

}  // namespace desktop
}  // namespace platform
