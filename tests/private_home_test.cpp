// The tests keep to themselves: each test process has a home of its own,
// whatever the home of the user running them, and leaves nothing behind.
#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

const char* const kFolders[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"};

// Writes into every folder as the programs the tests start do (a sound
// server's cookie, a file chooser's recent files, a window manager's log).
TEST(PrivateHome, EveryFolderOfTheHomeIsThisProcesssOwn) {
  const std::string home = std::getenv("HOME");
  const passwd* user = getpwuid(getuid());
  ASSERT_NE(user, nullptr);
  ASSERT_NE(fs::weakly_canonical(home), fs::weakly_canonical(user->pw_dir)) << "the user's own home";
  for (const char* name : kFolders) {
    SCOPED_TRACE(name);
    const char* value = std::getenv(name);
    ASSERT_NE(value, nullptr);
    ASSERT_EQ(std::string(value).rfind(home, 0), 0u) << value << " is outside " << home;
    fs::create_directories(value);
    std::ofstream(std::string(value) + "/written-by-a-test") << name;
  }
}

// The test above, run as its own process with a home of the user's and a
// temporary folder the test watches: both stay empty.
TEST(PrivateHome, ATestProcessLeavesTheUsersHomeAndTheTemporaryFolderEmpty) {
  char pattern[] = "/tmp/tonquill-private-home-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path top = pattern, userHome = top / "user", temporary = top / "tmp";
  fs::create_directories(userHome);
  fs::create_directories(temporary);
  const std::string command = "HOME=" + userHome.string() + " TMPDIR=" + temporary.string() +
                              " XDG_DATA_HOME= XDG_CONFIG_HOME= XDG_CACHE_HOME= XDG_STATE_HOME= XDG_RUNTIME_DIR=" +
                              " /proc/" + std::to_string(getpid()) + "/exe" +
                              " --gtest_filter=PrivateHome.EveryFolderOfTheHomeIsThisProcesssOwn >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
  EXPECT_TRUE(fs::is_empty(userHome)) << "the user's home was written to";
  EXPECT_TRUE(fs::is_empty(temporary)) << "the private home was left behind";
  fs::remove_all(top);
}

}  // namespace
