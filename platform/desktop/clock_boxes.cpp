// The desktop's clock, message boxes, beep and cursor visibility.
#include <SDL.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/desktop/desktop.h"
#include "platform/platform.h"

namespace platform {

std::uint32_t TimeMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);  // wraps like the counter it replaces
}

// The option with which the program starts itself to show one box.
static const char kBoxHelperOption[] = "--tonquill-message-box";

// Shows a box in this process; returns the id of the button chosen, or -1
// when the box could not be shown or was closed.
static int ShowBoxHere(Uint32 flags, const std::string& title, const std::string& text, bool question) {
  static const SDL_MessageBoxButtonData ok[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1, "OK"}};
  static const SDL_MessageBoxButtonData yesNo[] = {
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "いいえ (No)"},
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "はい (Yes)"},
  };
  SDL_MessageBoxData data{};
  data.flags = flags;
  data.title = title.c_str();
  data.message = text.c_str();
  data.numbuttons = question ? 2 : 1;
  data.buttons = question ? yesNo : ok;
  int chosen = -1;
  // SDL shows X11 boxes only once its video subsystem is up.
  const bool videoUp = SDL_WasInit(SDL_INIT_VIDEO) != 0 || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  if (!videoUp || SDL_ShowMessageBox(&data, &chosen) != 0) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());  // no display: the terminal still tells
    return -1;
  }
  return chosen;
}

bool ServeHelperCommandLine(int argc, char** argv, int& exitCode) {
  if (argc != 6 || std::strcmp(argv[1], kBoxHelperOption) != 0) return false;
  const bool question = std::strcmp(argv[2], "question") == 0;
  const Uint32 flags = std::strcmp(argv[2], "warning") == 0 ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
  const char answer = ShowBoxHere(flags, argv[3], argv[4], question) == 1 ? 'y' : 'n';
  // The answer goes back through a pipe: an exit status can be changed by
  // whatever runs at exit.
  const int answerPipe = std::atoi(argv[5]);
  (void)!write(answerPipe, &answer, 1);
  close(answerPipe);
  exitCode = 0;
  return true;
}

// Shows a box and waits for the answer. Once the program has a window (and
// the threads of its renderer and synthesizer) the box is shown by a fresh
// copy of the program: SDL's X11 box forks, and a forked copy of a
// threaded process can hang. Returns true for Yes (or OK).
static bool ShowBox(const char* kind, std::string_view title, std::string_view text) {
  const std::string titleText(title), bodyText(text);
  const bool question = std::strcmp(kind, "question") == 0;
  if (desktop::MainWindow() == nullptr) {
    const Uint32 flags = std::strcmp(kind, "warning") == 0 ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
    return ShowBoxHere(flags, titleText, bodyText, question) == 1;
  }
  int answerPipe[2];
  if (pipe2(answerPipe, O_CLOEXEC) != 0) return false;
  const int helperEnd = fcntl(answerPipe[1], F_DUPFD, 3);  // without close-on-exec: the helper keeps it
  const std::string helperFd = std::to_string(helperEnd);
  char* const arguments[] = {const_cast<char*>("tonquill"), const_cast<char*>(kBoxHelperOption), const_cast<char*>(kind),
                             const_cast<char*>(titleText.c_str()), const_cast<char*>(bodyText.c_str()),
                             const_cast<char*>(helperFd.c_str()), nullptr};
  pid_t helper = 0;
  const bool spawned = helperEnd >= 0 && posix_spawn(&helper, "/proc/self/exe", nullptr, nullptr, arguments, environ) == 0;
  close(answerPipe[1]);
  if (helperEnd >= 0) close(helperEnd);
  char answer = 'n';
  if (spawned) {
    while (read(answerPipe[0], &answer, 1) < 0 && errno == EINTR) {
    }
    int status = 0;
    while (waitpid(helper, &status, 0) < 0 && errno == EINTR) {
    }
  } else {
    std::fprintf(stderr, "%s: %s\n", titleText.c_str(), bodyText.c_str());
  }
  close(answerPipe[0]);
  return answer == 'y';
}

void ShowMessageBox(BoxKind kind, std::string_view title, std::string_view text) {
  ShowBox(kind == BoxKind::Information ? "information" : "warning", title, text);
}

bool AskQuestion(std::string_view title, std::string_view text) { return ShowBox("question", title, text); }

void ShowSystemCursor(bool shown) {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace platform
