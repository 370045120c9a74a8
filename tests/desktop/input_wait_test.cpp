// The main loop's sleep on the real desktop: it sleeps when nothing comes,
// and wakes at once for a key at the window or a second copy's request.
// Each test runs in a child process of its own, since SDL's video stays
// connected to the display it first met.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <future>
#include <string>

#include "desktop_kit.h"
#include "platform/platform.h"
#include "xvfb.h"

namespace {

#define EXPECT_PASSES_IN_A_CHILD(body) \
  EXPECT_EXIT((body(), std::exit(::testing::Test::HasFailure() ? 1 : 0)), ::testing::ExitedWithCode(0), "")

using Clock = std::chrono::steady_clock;

// Each wait may last this long: input that did not wake it is seen late.
constexpr std::uint32_t kLongWaitMs = 30000;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Waits (as the main loop does) until `seen` holds after the events are
// taken; false when that took as long as a wait that nothing woke.
template <typename Seen>
bool WokenFor(Seen seen) {
  const Clock::time_point start = Clock::now();
  const double patience = kLongWaitMs / 2000.0;
  while (SecondsSince(start) < patience) {
    platform::WaitForInput(kLongWaitMs);
    platform::Event event;
    bool found = false;
    while (platform::PollEvent(event)) found = seen(&event) || found;
    if (found || seen(nullptr)) return SecondsSince(start) < patience;
  }
  return false;
}

void AKeyWakesTheWait() {
  ASSERT_TRUE(platform::CreateMainWindow("Tonquill wait", false, 640, 480));
  const std::string window = test::WaitForWindow("Tonquill wait", test::kStartUpSeconds);
  ASSERT_FALSE(window.empty());
  // With nothing coming the wait sleeps: a handful of wake-ups (the
  // window's own first events), not one a millisecond.
  int wakeUps = 0;
  const Clock::time_point start = Clock::now();
  while (SecondsSince(start) < 1) {
    wakeUps += platform::WaitForInput(200) ? 1 : 0;
    platform::Event event;
    while (platform::PollEvent(event)) {
    }
  }
  EXPECT_LT(wakeUps, 20);
  auto presser = std::async(std::launch::async, [&window] {
    test::SleepMs(300);
    test::RunCommand("xdotool keydown --window " + window + " a");
  });
  EXPECT_TRUE(WokenFor([](const platform::Event* e) { return e != nullptr && e->kind == platform::EventKind::KeyDown; }));
  presser.get();
  test::RunCommand("xdotool keyup --window " + window + " a");
  platform::DestroyMainWindow();
}

void ASecondCopyWakesTheWait() {
  test::TemporaryFolder folder;
  setenv("TONQUILL_INSTANCE_DIR", folder.Path().c_str(), 1);
  ASSERT_EQ(platform::AcquireSingleInstance("Tonquill:ElMutex", ""), platform::InstanceStart::OnlyCopy);
  const std::string socketPath = folder.Path() + "/tonquill-elmutex-" + std::to_string(getuid()) + ".sock";
  auto caller = std::async(std::launch::async, [&socketPath] {
    test::SleepMs(300);
    const int client = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    const std::string request = "open\n/songs/wake.mid";
    const timeval patience{5, 0};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    char answer[16];
    // A second copy ends its request and waits for the answer.
    const bool answered = connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                          send(client, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size()) &&
                          shutdown(client, SHUT_WR) == 0 && recv(client, answer, sizeof answer, 0) > 0;
    close(client);
    return answered;
  });
  std::string song;
  EXPECT_TRUE(WokenFor([&song](const platform::Event*) { return platform::TakeRequestedSong(song); }));
  EXPECT_TRUE(caller.get());
  EXPECT_EQ(song, "/songs/wake.mid");
  platform::ReleaseSingleInstance();
}

TEST(DesktopInputWait, SleepsUntilAKeyComes) {
  test::Xvfb display;
  ASSERT_TRUE(display.Running());
  EXPECT_PASSES_IN_A_CHILD(AKeyWakesTheWait);
}

TEST(DesktopInputWait, ASecondCopysRequestWakesIt) { EXPECT_PASSES_IN_A_CHILD(ASecondCopyWakesTheWait); }

}  // namespace
