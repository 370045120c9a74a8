// The open dialog on the desktop: zenity (GTK), else kdialog, run as a
// process of its own with the game's title for it, and told which window is
// its parent. The game waits for it as for any modal dialog, still taking
// the requests of second copies, and gives it a size that fits the screen.
#include "platform/desktop/desktop.h"
#include "platform/platform.h"

// SDL's window-manager header after our own: its X11 headers define macros
// such as CursorShape.
#include <SDL.h>
#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace platform {

namespace {

// The first of `name` on $PATH, or nothing.
std::optional<std::string> FindProgram(const char* name) {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  for (std::size_t start = 0; start <= folders.size();) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string candidate = (end > start ? folders.substr(start, end - start) : ".") + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return std::nullopt;
}

// "*.mid" as "*.[mM][iI][dD]": the dialogs match patterns with case, names
// on Linux come in any case.
std::string AnyCase(std::string_view patterns) {
  std::string out;
  for (char c : patterns) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (std::isalpha(u)) {
      out += '[';
      out += static_cast<char>(std::tolower(u));
      out += static_cast<char>(std::toupper(u));
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

// The X window id of the game's window, for the dialog to attach to.
std::optional<unsigned long> ParentWindowId() {
  const unsigned long window = desktop::MainWindowId();
  if (window == 0) return std::nullopt;
  return window;
}

std::vector<std::string> ZenityArguments(std::string_view title, const FileFilter* filters, int count,
                                         const std::string& folder, std::optional<unsigned long> parent) {
  std::vector<std::string> args{"zenity", "--file-selection", "--modal", "--title=" + std::string(title)};
  if (parent) args.push_back("--attach=" + std::to_string(*parent));
  if (!folder.empty()) args.push_back("--filename=" + folder + "/");
  for (int i = 0; i < count; ++i)
    args.push_back("--file-filter=" + std::string(filters[i].label) + " | " + AnyCase(filters[i].patterns));
  return args;
}

std::vector<std::string> KdialogArguments(std::string_view title, const FileFilter* filters, int count,
                                          const std::string& folder, std::optional<unsigned long> parent) {
  std::vector<std::string> args{"kdialog", "--title", std::string(title)};
  if (parent) {
    args.push_back("--attach");
    args.push_back(std::to_string(*parent));
  }
  std::string filterText;
  for (int i = 0; i < count; ++i)
    filterText += (i > 0 ? "\n" : "") + AnyCase(filters[i].patterns) + "|" + std::string(filters[i].label);
  args.push_back("--getopenfilename");
  args.push_back(folder.empty() ? "." : folder);
  args.push_back(filterText);
  return args;
}

// The dialogs take their arguments in the locale's encoding and refuse a
// title they cannot convert: where the user's locale is missing or not
// UTF-8, they run in C.UTF-8 (their buttons would be in English there
// anyway).
bool LocaleIsUtf8() {
  const locale_t user = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return false;
  const bool utf8 = std::strcmp(nl_langinfo_l(CODESET, user), "UTF-8") == 0;
  freelocale(user);
  return utf8;
}

std::vector<std::string> DialogEnvironment() {
  std::vector<std::string> variables;
  for (char** variable = environ; *variable != nullptr; ++variable) variables.emplace_back(*variable);
  if (LocaleIsUtf8()) return variables;
  std::erase_if(variables, [](const std::string& v) { return v.rfind("LC_ALL=", 0) == 0; });
  variables.emplace_back("LC_ALL=C.UTF-8");
  return variables;
}

// Runs the dialog and collects what it prints; the exit status in `status`.
bool RunDialog(const std::string& program, const std::vector<std::string>& args, std::string& output, int& status) {
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const std::vector<std::string> variables = DialogEnvironment();
  std::vector<char*> envp;
  for (const std::string& v : variables) envp.push_back(const_cast<char*>(v.c_str()));
  envp.push_back(nullptr);
  pid_t child = 0;
  const bool spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (spawned) {
    char buffer[4096];
    for (bool fitted = false;;) {
      pollfd readable{pipeEnds[0], POLLIN, 0};
      const int ready = poll(&readable, 1, 50);
      if (ready == 0 || (ready < 0 && errno == EINTR)) {
        desktop::ServeSecondCopies(true);
        if (!fitted) fitted = desktop::FitDialogOfProcess(child);
        continue;
      }
      const ssize_t got = ready > 0 ? read(pipeEnds[0], buffer, sizeof buffer) : -1;
      if (got > 0) output.append(buffer, static_cast<std::size_t>(got));
      else if (got == 0 || errno != EINTR) break;
    }
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }
  close(pipeEnds[0]);
  return spawned;
}

// Clicks and keys that reached the game's window while the dialog was up
// were meant for the dialog.
void DropInputOfTheDialogsTime() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_KEYDOWN, SDL_TEXTINPUT);
  SDL_FlushEvents(SDL_MOUSEBUTTONDOWN, SDL_MOUSEWHEEL);
}

}  // namespace

const char* FileChooserPackage() { return "zenity"; }

OpenDialogResult ChooseFileToOpen(std::string_view title, const FileFilter* filters, int filterCount,
                                  const std::string& startFolder, std::string& path) {
  std::optional<std::string> program = FindProgram("zenity");
  const bool zenity = program.has_value();
  if (!zenity) program = FindProgram("kdialog");
  if (!program) return OpenDialogResult::NoChooser;
  const std::optional<unsigned long> parent = ParentWindowId();
  const std::vector<std::string> args = zenity ? ZenityArguments(title, filters, filterCount, startFolder, parent)
                                               : KdialogArguments(title, filters, filterCount, startFolder, parent);
  // A confined pointer could never reach the dialog: let it go meanwhile,
  // and confine it again afterwards as the program asked.
  if (SDL_Window* window = desktop::MainWindow()) SDL_SetWindowMouseRect(window, nullptr);
  std::string output;
  int status = 0;
  const bool ran = RunDialog(*program, args, output, status);
  desktop::ApplyConfinement();
  DropInputOfTheDialogsTime();
  desktop::TakeFocusBack();
  if (!ran) return OpenDialogResult::NoChooser;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return OpenDialogResult::Cancelled;
  if (!output.empty() && output.back() == '\n') output.pop_back();
  if (output.empty()) return OpenDialogResult::Cancelled;
  path = output;
  return OpenDialogResult::Chosen;
}

}  // namespace platform
