// Message boxes on the desktop. Each box is shown by a fresh copy of the
// program (/proc/self/exe with the helper option), so that the game's
// synthesizer threads cannot hang it, and answers through a
// pipe. While it is up the game's window is only kept painted; presses
// that reached it meanwhile are dropped when the box closes.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/desktop/box_window.h"
#include "platform/desktop/desktop.h"
#include "platform/platform.h"

namespace platform {

// The option with which the program starts itself to show one box:
// --tonquill-message-box KIND TITLE TEXT ANSWER-FD PARENT-WINDOW
static const char kBoxHelperOption[] = "--tonquill-message-box";

bool ServeHelperCommandLine(int argc, char** argv, int& exitCode) {
  if (argc != 7 || std::strcmp(argv[1], kBoxHelperOption) != 0) return false;
  const desktop::BoxRequest request{argv[3], argv[4], std::strcmp(argv[2], "question") == 0,
                                    std::strtoul(argv[6], nullptr, 10)};
  const int answer = desktop::RunBoxWindow(request);
  if (answer == desktop::kBoxNotShown) std::fprintf(stderr, "%s: %s\n", request.title, request.text);  // the terminal still tells
  // The answer goes back through a pipe: an exit status can be changed by
  // whatever runs at exit.
  const char reply = answer == desktop::kBoxYes ? 'y' : 'n';
  const int answerPipe = std::atoi(argv[5]);
  (void)!write(answerPipe, &reply, 1);
  close(answerPipe);
  exitCode = 0;
  return true;
}

// Shows the last frame again when the box uncovered part of the window.
static int NoteExposure(void* exposed, SDL_Event* e) {
  if (e->type == SDL_WINDOWEVENT && e->window.event == SDL_WINDOWEVENT_EXPOSED) *static_cast<bool*>(exposed) = true;
  return 1;
}

// Waits for the helper's answer, keeping the game's window painted.
static char AwaitAnswer(int answerPipe) {
  char answer = 'n';
  for (;;) {
    pollfd waiting{answerPipe, POLLIN, 0};
    const int ready = poll(&waiting, 1, 50);
    if (ready > 0) {
      while (read(answerPipe, &answer, 1) < 0 && errno == EINTR) {
      }
      return answer;
    }
    if (ready < 0 && errno != EINTR) return answer;
    desktop::ServeSecondCopies(true);
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
      bool exposed = false;
      SDL_PumpEvents();
      SDL_FilterEvents(NoteExposure, &exposed);
      if (exposed) desktop::PresentAgain();
    }
  }
}

// Shows a box in a helper process and waits for the answer; true for Yes
// (or OK).
static bool ShowBox(const char* kind, std::string_view title, std::string_view text) {
  const std::string titleText(title), bodyText(text);
  desktop::LogInput("BoxShown %s", kind);
  int answerPipe[2];
  if (pipe2(answerPipe, O_CLOEXEC) != 0) return false;
  const int helperEnd = fcntl(answerPipe[1], F_DUPFD, 3);  // without close-on-exec: the helper keeps it
  const std::string helperFd = std::to_string(helperEnd);
  const std::string parent = std::to_string(desktop::MainWindowId());
  char* const arguments[] = {const_cast<char*>("tonquill"),         const_cast<char*>(kBoxHelperOption),
                             const_cast<char*>(kind),               const_cast<char*>(titleText.c_str()),
                             const_cast<char*>(bodyText.c_str()),   const_cast<char*>(helperFd.c_str()),
                             const_cast<char*>(parent.c_str()),     nullptr};
  pid_t helper = 0;
  const bool spawned = helperEnd >= 0 && posix_spawn(&helper, "/proc/self/exe", nullptr, nullptr, arguments, environ) == 0;
  close(answerPipe[1]);
  if (helperEnd >= 0) close(helperEnd);
  char answer = 'n';
  if (spawned) answer = AwaitAnswer(answerPipe[0]);
  else std::fprintf(stderr, "%s: %s\n", titleText.c_str(), bodyText.c_str());
  close(answerPipe[0]);
  // The box is gone once it answered: what reached the game until now was
  // meant for it, what comes from now on is the game's (the helper may
  // still take a moment to end).
  desktop::DropInputFromWhileBoxWasUp();
  desktop::LogInput("BoxClosed %s", answer == 'y' ? "yes" : "no");
  desktop::TakeFocusBack();
  if (spawned) {
    int status = 0;
    while (waitpid(helper, &status, 0) < 0 && errno == EINTR) {
    }
  }
  return answer == 'y';
}

void ShowMessageBox(BoxKind kind, std::string_view title, std::string_view text) {
  ShowBox(kind == BoxKind::Information ? "information" : "warning", title, text);
}

bool AskQuestion(std::string_view title, std::string_view text) { return ShowBox("question", title, text); }

}  // namespace platform
