// The desktop's language and code page, from the locale variables and the
// user's own choice of code page.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/platform.h"

namespace {

// The code page a fresh program sees with these variables (each run in a
// child of its own: the program reads them once).
int CodePageWith(const char* language, const char* chosen) {
  const pid_t child = fork();
  if (child == 0) {
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", language, 1);
    if (chosen != nullptr) setenv("TONQUILL_CODEPAGE", chosen, 1);
    else unsetenv("TONQUILL_CODEPAGE");
    const bool cp932 = platform::AnsiCodePage() == platform::CodePage::Cp932;
    _exit(cp932 == platform::IsDBCSLeadByte(0x82) ? (cp932 ? 32 : 12) : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DesktopCodePage, TheLanguageDecidesUnlessTheUserChose) {
  EXPECT_EQ(CodePageWith("en_US.UTF-8", nullptr), 12);
  EXPECT_EQ(CodePageWith("ja_JP.UTF-8", nullptr), 32);
  EXPECT_EQ(CodePageWith("en_US.UTF-8", "932"), 32);
  EXPECT_EQ(CodePageWith("ja_JP.UTF-8", "1252"), 12);
  EXPECT_EQ(CodePageWith("ja_JP.UTF-8", "437"), 32) << "a code page the game does not know is ignored";
}

}  // namespace
