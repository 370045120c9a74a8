#include "xvfb.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "desktop_kit.h"

namespace test {

namespace {

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
  // Xvfb takes a free display number itself and writes it once it accepts
  // connections: tests starting their servers side by side never race for
  // one number (and never end up on another test's server).
  int ready[2];
  if (pipe(ready) != 0) return;
  const pid_t pid = fork();
  if (pid == 0) {
    close(ready[0]);
    const std::string fd = std::to_string(ready[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  std::string number;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kStartUpSeconds);
  for (bool done = pid < 0; !done;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd wait{ready[0], POLLIN, 0};
    char c = 0;
    done = left.count() <= 0 || poll(&wait, 1, static_cast<int>(left.count())) <= 0 || read(ready[0], &c, 1) != 1 ||
           c == '\n';
    if (!done && c >= '0' && c <= '9') number += c;
  }
  close(ready[0]);
  if (!number.empty()) {
    pid_ = pid;
    display_ = ":" + number;
    setenv("DISPLAY", display_.c_str(), 1);
  } else {
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
    std::fprintf(stderr, "Xvfb did not start\n");
  }
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
