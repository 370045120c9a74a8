// The single-instance guard of the desktop, in this process: where its lock
// lives, and that neither copy ever waits on the other for long. The
// "running copy" is played here by a lock and a socket the test holds.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "desktop_kit.h"
#include "platform/desktop/desktop.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;
using platform::InstanceStart;

constexpr const char* kName = "Tonquill:ElMutex";
const std::string kStem = "tonquill-elmutex-" + std::to_string(getuid());

// The variables the guard reads, set for one test and put back after it.
class SingleInstance : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"TONQUILL_INSTANCE_DIR", "XDG_RUNTIME_DIR", "TMPDIR"})
      if (const char* value = std::getenv(name)) saved_.emplace_back(name, value);
    unsetenv("TONQUILL_INSTANCE_DIR");
    unsetenv("XDG_RUNTIME_DIR");
    setenv("TMPDIR", folder_.Path().c_str(), 1);
  }
  void TearDown() override {
    platform::ReleaseSingleInstance();
    for (const char* name : {"TONQUILL_INSTANCE_DIR", "XDG_RUNTIME_DIR", "TMPDIR"}) unsetenv(name);
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
  }
  std::string In(const std::string& name) const { return folder_.Path() + "/" + name; }

  test::TemporaryFolder folder_;
  std::vector<std::pair<std::string, std::string>> saved_;
};

// True when the lock in `folder` is held (by this process's guard).
bool LockHeldIn(const std::string& folder) {
  const int file = open((folder + "/" + kStem + ".lock").c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (file < 0) return false;
  const bool held = flock(file, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(file);
  return held;
}

TEST_F(SingleInstance, ItsLockLivesInAFolderOnlyItsUserCanEnter) {
  const std::string own = In("tonquill-" + std::to_string(getuid()));
  const struct {
    const char* planted;
    std::function<void()> plant;
    std::string guardIn;  // "" when the game runs without the guard
    const char* says;
  } cases[] = {
      {"nothing", [&] {}, own, ""},
      {"a folder open to all",
       [&] {
         mkdir(own.c_str(), 0700);
         chmod(own.c_str(), 0777);
       },
       "", "is open to other users (mode 0777)"},
      {"a link to a folder",
       [&] {
         mkdir(In("elsewhere").c_str(), 0700);
         (void)!symlink(In("elsewhere").c_str(), own.c_str());
       },
       "", "is a symbolic link"},
      // Only root can give a folder to another user: elsewhere it stays ours.
      {"another user's folder",
       [&] {
         mkdir(own.c_str(), 0700);
         (void)!chown(own.c_str(), getuid() == 0 ? 4242 : getuid(), static_cast<gid_t>(-1));
       },
       getuid() == 0 ? "" : own, getuid() == 0 ? "is owned by user 4242" : ""},
      {"a private runtime folder",
       [&] {
         mkdir(In("runtime").c_str(), 0700);
         setenv("XDG_RUNTIME_DIR", In("runtime").c_str(), 1);
       },
       In("runtime"), ""},
      {"a runtime folder open to all",
       [&] {
         mkdir(In("runtime").c_str(), 0700);
         chmod(In("runtime").c_str(), 0755);
         setenv("XDG_RUNTIME_DIR", In("runtime").c_str(), 1);
       },
       own, ""},
      {"a lock that links elsewhere",
       [&] {
         mkdir(In("chosen").c_str(), 0700);
         (void)!symlink(In("planted").c_str(), (In("chosen") + "/" + kStem + ".lock").c_str());
         setenv("TONQUILL_INSTANCE_DIR", In("chosen").c_str(), 1);
       },
       "", ".lock cannot be used"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.planted);
    TearDown();
    fs::remove_all(folder_.Path());
    fs::create_directory(folder_.Path());
    SetUp();
    c.plant();
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::AcquireSingleInstance(kName, ""), InstanceStart::OnlyCopy) << "the game runs in any case";
    const std::string said = testing::internal::GetCapturedStderr();
    if (c.guardIn.empty()) {
      EXPECT_NE(said.find(c.says), std::string::npos) << said;
      EXPECT_NE(said.find("runs without keeping to one copy"), std::string::npos) << said;
    } else {
      EXPECT_TRUE(LockHeldIn(c.guardIn));
      EXPECT_EQ(said, "");
      struct stat info;
      ASSERT_EQ(lstat(c.guardIn.c_str(), &info), 0);
      EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
    // Nothing was made where a planted link pointed.
    EXPECT_FALSE(fs::exists(In("planted")));
    EXPECT_TRUE(!fs::exists(In("elsewhere")) || fs::is_empty(In("elsewhere")));
  }
}

// A running copy played by the test: its lock held, its socket listening
// (and never served unless the test accepts).
class HeldByTheTest : public SingleInstance {
 protected:
  void SetUp() override {
    SingleInstance::SetUp();
    setenv("TONQUILL_INSTANCE_DIR", folder_.Path().c_str(), 1);
    lock_ = open(In(kStem + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(flock(lock_, LOCK_EX | LOCK_NB), 0);
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::strcpy(address_.sun_path, In(kStem + ".sock").c_str());
    ASSERT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&address_), sizeof address_), 0);
    ASSERT_EQ(listen(listener_, 1), 0);
  }
  void TearDown() override {
    for (int client : clients_) close(client);
    if (listener_ >= 0) close(listener_);
    close(lock_);
    SingleInstance::TearDown();
  }
  // Fills the listener's queue as callers it never accepts would.
  void FillTheQueue() {
    for (int i = 0; i < 64; ++i) {
      const int client = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      clients_.push_back(client);
      if (connect(client, reinterpret_cast<sockaddr*>(&address_), sizeof address_) != 0) return;
    }
    FAIL() << "the queue never filled";
  }
  // Asks as a second copy does while the test serves one caller: reads its
  // request and answers it as the running copy does, or closes unanswered
  // (as a copy serving too many callers at once does). A copy that still
  // waits after 5 s is freed by closing the socket.
  InstanceStart AskWhileServing(const std::string& song, bool answer, std::string& request, double& seconds) {
    const auto start = std::chrono::steady_clock::now();
    auto asking = std::async(std::launch::async, [song] { return platform::AcquireSingleInstance(kName, song); });
    pollfd knock{listener_, POLLIN, 0};
    if (poll(&knock, 1, 5000) == 1) {
      const int caller = accept(listener_, nullptr, nullptr);
      char buffer[256];
      for (ssize_t got; (got = read(caller, buffer, sizeof buffer)) > 0;) request.append(buffer, static_cast<std::size_t>(got));
      if (answer) {
        EXPECT_EQ(write(caller, "taken\n", 6), 6);
      }
      close(caller);
    }
    if (asking.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
      ADD_FAILURE() << "the second copy still waits after 5 s";
      close(listener_);
      listener_ = -1;
    }
    const InstanceStart result = asking.get();
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
  }

  int lock_ = -1;
  int listener_ = -1;
  sockaddr_un address_{AF_UNIX, {}};
  std::vector<int> clients_;
};

// A second copy is done once the running copy answers that it took the
// request; unanswered, or unheard within a second, it says so.
TEST_F(HeldByTheTest, ASecondCopyIsDoneOnlyWhenItsRequestIsAnswered) {
  const struct {
    const char* song;
    bool answered;
    const char* request;
    InstanceStart result;
  } cases[] = {
      {"/songs/tune.mid", true, "open\n/songs/tune.mid", InstanceStart::RunningCopyAsked},
      {"", true, "raise\n", InstanceStart::RunningCopyAsked},
      {"/songs/tune.mid", false, "open\n/songs/tune.mid", InstanceStart::NoAnswer},
  };
  double seconds = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.request) + (c.answered ? ", answered" : ", unanswered"));
    std::string request;
    EXPECT_EQ(AskWhileServing(c.song, c.answered, request, seconds), c.result);
    EXPECT_EQ(request, c.request);
    EXPECT_LT(seconds, 1.5);
  }

  // The running copy is not serving (stopped) and its queue is full; then
  // it has no socket at all.
  FillTheQueue();
  for (const bool listening : {true, false}) {
    SCOPED_TRACE(listening ? "a full queue" : "no socket");
    if (!listening) close(listener_), listener_ = -1;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(platform::AcquireSingleInstance(kName, "/songs/tune.mid"), InstanceStart::NoAnswer);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
  }
}

// The running copy's side: it answers each request it takes, and takes
// only what it answered: nothing from a caller beyond the sixteen it
// serves at once, from one gone before the answer, or that is no request.
// A caller that says nothing holds nobody up; the newest song is taken.
TEST_F(SingleInstance, TheRunningCopyAnswersEachRequestItTakes) {
  setenv("TONQUILL_INSTANCE_DIR", folder_.Path().c_str(), 1);
  ASSERT_EQ(platform::AcquireSingleInstance(kName, ""), InstanceStart::OnlyCopy);
  sockaddr_un address{AF_UNIX, {}};
  std::strcpy(address.sun_path, In(kStem + ".sock").c_str());
  // A caller that sends `request` and waits for the answer (-1 when it
  // hangs up at once instead).
  const auto call = [&address](const std::string& request, bool waits) {
    const int client = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_EQ(connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(write(client, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    if (waits) return shutdown(client, SHUT_WR) == 0 ? client : -1;
    close(client);
    return -1;
  };
  // What the running copy answered, once it has answered or hung up.
  const auto answer = [](int client) {
    std::string text;
    char buffer[64];
    EXPECT_TRUE(test::WaitUntil(
        [&] {
          platform::desktop::ServeSecondCopies(true);
          pollfd ready{client, POLLIN, 0};
          return poll(&ready, 1, 0) == 1;
        },
        5));
    for (ssize_t got; (got = recv(client, buffer, sizeof buffer, MSG_DONTWAIT)) > 0;)
      text.append(buffer, static_cast<std::size_t>(got));
    close(client);
    return text;
  };
  std::string song;

  std::vector<int> silent(16);
  for (int& client : silent) {
    client = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_EQ(connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  }
  EXPECT_EQ(answer(call("open\n/songs/seventeenth.mid", true)), "") << "beyond the sixteen";
  EXPECT_FALSE(platform::TakeRequestedSong(song)) << song;
  for (int client : silent) close(client);
  platform::desktop::ServeSecondCopies(true);

  const int quiet = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  EXPECT_EQ(connect(quiet, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const int first = call("open\n/songs/first.mid", true);
  const int bad = call(std::string("open\n/songs/") + '\0' + "bad.mid", true);  // a path with a NUL is no path
  const int second = call("open\n/songs/second.mid", true);
  call("open\n/songs/gone.mid", false);
  EXPECT_EQ(answer(first), "taken\n");
  EXPECT_EQ(answer(bad), "");
  EXPECT_EQ(answer(second), "taken\n");
  platform::desktop::ServeSecondCopies(true);
  EXPECT_TRUE(platform::TakeRequestedSong(song));
  EXPECT_EQ(song, "/songs/second.mid");
  EXPECT_FALSE(platform::TakeRequestedSong(song)) << "taken once";
  close(quiet);
}

}  // namespace
