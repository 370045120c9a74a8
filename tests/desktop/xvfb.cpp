#include "xvfb.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "desktop_kit.h"

namespace test {

namespace {

bool Exists(const std::string& path) {
  struct stat info{};
  return stat(path.c_str(), &info) == 0;
}

// Single quotes around any text, for the shell.
std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// The first line of a command's output that appears within `seconds`.
std::string WaitForOutput(const std::string& command, int seconds) {
  std::string id;
  WaitUntil([&] { return !(id = RunCommand(command)).empty(); }, seconds);
  return id;
}

}  // namespace

Xvfb::Xvfb(int width, int height) {
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  // Try free display numbers from one that depends on our process, so tests
  // running side by side rarely meet.
  for (int attempt = 0; attempt < 20 && display_.empty(); ++attempt) {
    const int number = 100 + (getpid() * 7 + attempt * 13) % 800;
    const std::string name = ":" + std::to_string(number);
    if (Exists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
    const pid_t pid = fork();
    if (pid == 0) {
      execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    bool lost = false;  // the race for this number, to another server
    const bool up = WaitUntil(
        [&] {
          lost = waitpid(pid, nullptr, WNOHANG) == pid;
          return lost || (Exists(socket) && std::system(("xdpyinfo -display " + name + " >/dev/null 2>&1").c_str()) == 0);
        },
        kStartUpSeconds);
    if (up && !lost) {
      pid_ = pid;
      display_ = name;
    }
    if (display_.empty() && !lost) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  }
  if (!display_.empty()) setenv("DISPLAY", display_.c_str(), 1);
  else std::fprintf(stderr, "Xvfb did not start\n");
}

Xvfb::~Xvfb() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

bool Xvfb::Screenshot(const std::string& path) const {
  return std::system(("import -display " + display_ + " -window root " + path + " 2>/dev/null").c_str()) == 0;
}

std::string RunCommand(const std::string& command) {
  // A command that never ends (an xdotool waiting for a window that never
  // comes) is stopped, and the test fails saying which, rather than hanging.
  constexpr int kCommandLimitSeconds = 60;
  std::string out;
  int status = -1;
  const std::string bounded = "timeout -k 5 " + std::to_string(kCommandLimitSeconds) + " sh -c " + Quoted(command);
  if (FILE* pipe = popen(bounded.c_str(), "r")) {
    char buffer[512];
    std::size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    status = pclose(pipe);
  }
  if (WIFEXITED(status) && (WEXITSTATUS(status) == 124 || WEXITSTATUS(status) == 137))
    ADD_FAILURE() << "stopped after " << kCommandLimitSeconds << " s: " << command;
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string WaitForWindow(const std::string& title, int seconds) {
  return WaitForOutput("xwininfo -root -tree 2>/dev/null | grep -F '\"" + title + "' | awk '{print $1}' | head -1", seconds);
}

static const char kMessageBoxTitles[] = "grep -F -e '\"メッセージ' -e '\"Message'";

std::string WaitForMessageBox(int seconds) {
  return WaitForOutput(std::string("xwininfo -root -tree 2>/dev/null | ") + kMessageBoxTitles + " | awk '{print $1}' | head -1",
                       seconds);
}

int MessageBoxCount() {
  return std::atoi(RunCommand(std::string("xwininfo -root -tree 2>/dev/null | ") + kMessageBoxTitles + " | wc -l").c_str());
}

}  // namespace test
