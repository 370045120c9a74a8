#include "xvfb.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace test {

namespace {

bool Exists(const std::string& path) {
  struct stat info{};
  return stat(path.c_str(), &info) == 0;
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
    for (int wait = 0; wait < 100; ++wait) {
      if (waitpid(pid, nullptr, WNOHANG) == pid) break;  // lost the race for this number
      if (Exists(socket) && std::system(("xdpyinfo -display " + name + " >/dev/null 2>&1").c_str()) == 0) {
        pid_ = pid;
        display_ = name;
        break;
      }
      usleep(50 * 1000);
    }
    if (display_.empty() && waitpid(pid, nullptr, WNOHANG) == 0) {
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
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    std::size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    pclose(pipe);
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string WaitForWindow(const std::string& title, int seconds) {
  for (int tries = 0; tries < seconds * 10; ++tries) {
    const std::string id = RunCommand("xwininfo -root -tree 2>/dev/null | grep -F '\"" + title + "' | awk '{print $1}' | head -1");
    if (!id.empty()) return id;
    usleep(100 * 1000);
  }
  return "";
}

static const char kMessageBoxTitles[] = "grep -F -e '\"メッセージ' -e '\"Message'";

std::string WaitForMessageBox(int seconds) {
  for (int tries = 0; tries < seconds * 10; ++tries) {
    const std::string id =
        RunCommand(std::string("xwininfo -root -tree 2>/dev/null | ") + kMessageBoxTitles + " | awk '{print $1}' | head -1");
    if (!id.empty()) return id;
    usleep(100 * 1000);
  }
  return "";
}

int MessageBoxCount() {
  return std::atoi(RunCommand(std::string("xwininfo -root -tree 2>/dev/null | ") + kMessageBoxTitles + " | wc -l").c_str());
}

}  // namespace test
