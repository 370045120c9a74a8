// The tests keep to themselves: each test process has a home of its own,
// whatever the home of the user running them, and leaves nothing behind.
#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "smf_builder.h"

namespace {

namespace fs = std::filesystem;

const char* const kFolders[] = {"HOME",           "XDG_DATA_HOME",   "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                                "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "TMPDIR"};
const char* const kDataFolders[] = {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"};

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
  EXPECT_EQ(test::WriteTempFile({}).rfind(home, 0), 0u) << "a test's song lies outside " << home;
}

// Run after the test above in the same process (by the test below): what
// that test wrote into the data folders is gone.
TEST(PrivateHome, EachTestStartsWithEmptyDataFolders) {
  for (const char* name : kDataFolders) {
    SCOPED_TRACE(name);
    const fs::path folder = std::getenv(name);
    EXPECT_TRUE(!fs::exists(folder) || fs::is_empty(folder));
  }
}

// The two tests above, run in one process of their own with a home of the
// user's and a temporary folder the test watches: the user's home stays
// empty, and the temporary folder keeps nothing of the process, nor the home
// a killed process left there; a running process's home is kept.
TEST(PrivateHome, ATestProcessLeavesTheUsersHomeAndTheTemporaryFolderAsTheyWere) {
  char pattern[] = "/tmp/tonquill-private-home-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path top = pattern, userHome = top / "user", temporary = top / "tmp";
  fs::create_directories(userHome);
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  ASSERT_EQ(waitpid(ended, nullptr, 0), ended);
  const fs::path killed = temporary / ("tonquill-home-" + std::to_string(ended) + "-a1b2c3");
  const fs::path running = temporary / ("tonquill-home-" + std::to_string(getpid()) + "-d4e5f6");
  fs::create_directories(killed / "tmp");
  fs::create_directories(running);
  const std::string command = "HOME=" + userHome.string() + " TMPDIR=" + temporary.string() +
                              " XDG_DATA_HOME= XDG_CONFIG_HOME= XDG_CACHE_HOME= XDG_STATE_HOME= XDG_RUNTIME_DIR=" +
                              " /proc/" + std::to_string(getpid()) + "/exe" +
                              " --gtest_filter=PrivateHome.EveryFolderOfTheHomeIsThisProcesssOwn:"
                              "PrivateHome.EachTestStartsWithEmptyDataFolders >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
  EXPECT_TRUE(fs::is_empty(userHome)) << "the user's home was written to";
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(temporary)) left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{running.filename().string()});
  fs::remove_all(top);
}

}  // namespace
