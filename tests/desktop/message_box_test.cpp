// The desktop's message boxes in a real X server: a Japanese question is
// shown, photographed and answered from the keyboard.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/platform.h"
#include "xvfb.h"

namespace {

TEST(DesktopMessageBox, JapaneseQuestionIsShownAndAnswered) {
  test::Xvfb x;
  ASSERT_TRUE(x.Running());
  const pid_t child = fork();
  if (child == 0) {
    const bool yes = platform::AskQuestion("メッセージ", "プログラムを終了しますか？\n");
    _exit(yes ? 0 : 1);
  }
  // Wait for the box, look at it, then press Return (Yes is the default).
  const std::string window = test::WaitForWindow("メッセージ", 20);
  ASSERT_FALSE(window.empty()) << "no message box appeared";
  usleep(300 * 1000);
  EXPECT_TRUE(x.Screenshot(TONQUILL_BINARY_DIR "/message_box.png"));
  // Press Return until the box has taken it (it may still be settling).
  int status = 0;
  for (int tries = 0; tries < 50 && waitpid(child, &status, WNOHANG) == 0; ++tries) {
    test::RunCommand("xdotool windowfocus " + window + " key Return 2>/dev/null");
    usleep(200 * 1000);
  }
  if (waitpid(child, &status, WNOHANG) == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "Return answers Yes";
}

}  // namespace
