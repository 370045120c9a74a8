// The desktop's message boxes in a real X server: shown, readable in
// Japanese whatever locales exist, tied to the game's window with the
// keyboard, answered from the keyboard; the window's close button asks too.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "desktop_kit.h"
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
  const std::string window = test::WaitForWindow("メッセージ", test::kStartUpSeconds);
  ASSERT_FALSE(window.empty()) << "no message box appeared";
  ASSERT_TRUE(test::WaitUntil([&window] { return test::FocusedWindow() == window; }, 10));
  EXPECT_TRUE(x.Screenshot(TONQUILL_BINARY_DIR "/message_box.png"));
  test::RunCommand("xdotool key Return");
  int status = 0;
  if (!test::WaitUntil([&] { return waitpid(child, &status, WNOHANG) == child; }, 10)) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "Return answers Yes";
}

// Every character of a file name shows in its half-width cell, the
// underscore too: the box's face has it a pixel below its descent.
TEST(DesktopMessageBox, EveryCharacterOfAFileNameShows) {
  test::Xvfb x;
  ASSERT_TRUE(x.Running());
  const std::string name = "midifile_Bad.mid";
  const pid_t child = fork();
  if (child == 0) {
    platform::ShowMessageBox(platform::BoxKind::Warning, "Tonquill", name);
    _exit(0);
  }
  const std::string box = test::WaitForWindow("Tonquill", test::kStartUpSeconds);
  ASSERT_FALSE(box.empty()) << "no message box appeared";
  const test::Area area = test::WindowArea(box);
  // The text starts at the box's 20-pixel margin, one line 18 pixels high;
  // the inner 6 columns of a cell hold no ink of its neighbours.
  const auto cellInk = [&](std::size_t i) {
    return test::DarkPixels(area.left + 21 + 8 * static_cast<int>(i), area.top + 20, 6, 18, 0xC0);
  };
  EXPECT_TRUE(test::WaitUntil([&] { return cellInk(0) > 0; }, 10)) << "no text";
  for (std::size_t i = 0; i < name.size(); ++i) EXPECT_GT(cellInk(i), 0) << "'" << name[i] << "' at " << i;
  x.Screenshot(TONQUILL_BINARY_DIR "/message_box_file_name.png");
  test::RunCommand("xdotool key Return");
  int status = 0;
  if (!test::WaitUntil([&] { return waitpid(child, &status, WNOHANG) == child; }, 10)) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
}

// The game in a window, its picture up.
class ExitQuestion : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(display_.Running()); }

  // Starts the game and waits for its picture; the game's window id.
  std::string StartGame(test::Game& game) {
    const std::string window = test::WaitForWindow("Tonquill", test::kStartUpSeconds);
    EXPECT_TRUE(test::WaitUntil([&] { return test::WindowShowsTheArtwork(window); }, test::kStartUpSeconds)) << game.Output();
    return window;
  }
  // Waits for the question's window and for it to have the keyboard.
  static std::string QuestionWithTheKeyboard(const test::Game& game) {
    const std::string box = test::WaitForMessageBox(test::kStartUpSeconds);
    EXPECT_FALSE(box.empty()) << "no question; what the game saw: " << testing::PrintToString(game.InputLog());
    EXPECT_TRUE(test::WaitUntil([&box] { return test::FocusedWindow() == box; }, 10)) << "the question has no keyboard";
    return box;
  }
  // The window has the keyboard and the window manager knows it: its close
  // key closes the window it holds active, which may lag behind the focus.
  static bool ActiveWithTheKeyboard(const std::string& window) {
    return test::WaitUntil(
        [&window] {
          return test::FocusedWindow() == window &&
                 test::RunCommand("xprop -root _NET_ACTIVE_WINDOW").find(window) != std::string::npos;
        },
        10);
  }
  static bool QuestionGone() {
    return test::WaitUntil([] { return test::MessageBoxCount() == 0; }, 10);
  }

  test::Xvfb display_;
};

TEST_F(ExitQuestion, WithAWindowManagerTheQuestionBelongsToTheGameAndHasTheKeyboard) {
  test::WindowManager manager;
  ASSERT_TRUE(manager.Running());
  test::Game game({"-"});
  const std::string window = StartGame(game);
  ASSERT_TRUE(test::WaitUntil([&window] { return test::FocusedWindow() == window; }, 10)) << "the new window has the keyboard";
  test::RunCommand("xdotool key Escape");
  const std::string box = QuestionWithTheKeyboard(game);
  EXPECT_NE(test::RunCommand("xprop -id " + box + " WM_TRANSIENT_FOR").find(window), std::string::npos);
  EXPECT_NE(test::RunCommand("xprop -id " + box + " _NET_WM_WINDOW_TYPE").find("_NET_WM_WINDOW_TYPE_DIALOG"), std::string::npos);
  test::RunCommand("xdotool key Return");
  EXPECT_EQ(game.WaitForExit(10), 0) << "Return at the question answers Yes";
  EXPECT_EQ(game.Output(), "") << "the game and its box helper say nothing on the terminal";
}

TEST_F(ExitQuestion, TheWindowManagersCloseAsksFirst) {
  test::WindowManager manager;
  ASSERT_TRUE(manager.Running());
  test::Game game({"-"});
  const std::string window = StartGame(game);
  ASSERT_TRUE(ActiveWithTheKeyboard(window));
  // openbox closes the active window on Alt+F4, as its close button does.
  test::RunCommand("xdotool key alt+F4");
  QuestionWithTheKeyboard(game);
  test::RunCommand("xdotool key Escape");
  EXPECT_TRUE(QuestionGone());
  // The box may vanish before the game has read its answer and dropped what
  // was meant for it: close again only once it has.
  EXPECT_GE(game.WaitForInput("BoxClosed no", 10), 0);
  EXPECT_TRUE(game.Running()) << "Escape at the question answers No";
  ASSERT_TRUE(ActiveWithTheKeyboard(window)) << "the keyboard comes back";
  test::RunCommand("xdotool key alt+F4");
  QuestionWithTheKeyboard(game);
  test::RunCommand("xdotool key Return");
  EXPECT_EQ(game.WaitForExit(10), 0) << testing::PrintToString(game.InputLog());
}

TEST_F(ExitQuestion, PressesThatReachedTheGameWhileTheQuestionWasUpAreDropped) {
  test::Game game({"-"});
  const std::string window = StartGame(game);
  test::RunCommand("xdotool key Escape");
  QuestionWithTheKeyboard(game);
  // Presses sent to the game's window itself, as a key held before the
  // question took the keyboard sends them.
  test::RunCommand("xdotool key --window " + window + " Escape Escape");
  test::RunCommand("xdotool key Escape");  // at the question: No
  const int closed = game.WaitForInput("BoxClosed no", 10);
  ASSERT_GE(closed, 0);
  // The game has the keyboard again: a key typed now reaches it.
  test::RunCommand("xdotool key a");
  const int typed = game.WaitForInput("KeyDown 0 0 65", 10, closed);
  ASSERT_GE(typed, 0) << "the game did not get the keyboard back";
  const std::vector<std::string> log = game.InputLog();
  for (int i = closed; i < typed; ++i) EXPECT_NE(log[static_cast<std::size_t>(i)].rfind("KeyDown 0 0 27 ", 0), 0u) << "a press meant for the question";
  EXPECT_TRUE(QuestionGone());
  EXPECT_TRUE(game.Running());
}

TEST_F(ExitQuestion, AHeldEscapeLeavesTheQuestionUp) {
  test::Game game({"-"});
  StartGame(game);
  test::RunCommand("xdotool keydown Escape");
  const std::string box = QuestionWithTheKeyboard(game);
  // Held on for a second, the key repeats at the question.
  test::RunCommand("sleep 1; xdotool keyup Escape");
  EXPECT_EQ(test::MessageBoxCount(), 1) << "the held key answered";
  test::RunCommand("xdotool key Return");
  EXPECT_EQ(game.WaitForExit(10), 0);
}

TEST_F(ExitQuestion, AWindowManagerThatDiedLeavesNoTrap) {
  {
    test::WindowManager manager;
    ASSERT_TRUE(manager.Running());
    manager.Crash();  // its mark stays on the root window
  }
  test::Game game({"-"});
  StartGame(game);
  test::RunCommand("xdotool key Escape");
  QuestionWithTheKeyboard(game);
  test::RunCommand("xdotool key Escape");
  EXPECT_TRUE(QuestionGone());
  EXPECT_GE(game.WaitForInput("BoxClosed no", 10), 0);
  EXPECT_TRUE(game.Running()) << game.Output();
  test::RunCommand("xdotool key Escape");
  QuestionWithTheKeyboard(game);
  test::RunCommand("xdotool key Return");
  EXPECT_EQ(game.WaitForExit(10), 0) << game.Output();
}

TEST_F(ExitQuestion, ReadsInJapaneseWithoutTheJapaneseLocale) {
  ASSERT_EQ(test::RunCommand("locale -a | grep -ci '^ja'"), "0") << "this test needs a system without the Japanese locale";
  test::Game game({"-"}, {"LANG=ja_JP.UTF-8", "LC_ALL="});
  StartGame(game);
  test::RunCommand("xdotool key Escape");
  const std::string box = QuestionWithTheKeyboard(game);
  ASSERT_TRUE(test::WaitUntil(
      [&box] {
        const test::Area area = test::WindowArea(box);
        return test::DarkPixels(area.left, area.top, area.right - area.left, 50) > 150;
      },
      10))
      << "no text in the question";
  display_.Screenshot(TONQUILL_BINARY_DIR "/exit_question_japanese.png");
  // プログラムを終了しますか？ in full-width cells from the box's text
  // margin: real glyphs differ from each other, while a face without them
  // would draw the same empty box for each.
  const test::Area text = test::WindowArea(box);
  std::vector<std::string> cells = test::DarkPatterns(text.left + 20, text.top + 20, 16, 16, 12);
  std::sort(cells.begin(), cells.end());
  EXPECT_GE(std::unique(cells.begin(), cells.end()) - cells.begin(), 10) << "the glyphs are not Japanese";
  // The buttons are labelled.
  const test::Area area = test::WindowArea(box);
  EXPECT_GT(test::DarkPixels(area.left, area.bottom - 45, area.right - area.left, 25), 150);
  test::RunCommand("xdotool key Return");
  EXPECT_EQ(game.WaitForExit(10), 0);
}

}  // namespace
