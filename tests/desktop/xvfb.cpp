#include "xvfb.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>

namespace test {

Xvfb::Xvfb(int width, int height) {
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // Xvfb writes the display number it chose once it accepts clients.
  char number[16] = {};
  ssize_t got;
  do got = read(fds[0], number, sizeof number - 1);
  while (got < 0 && errno == EINTR);
  close(fds[0]);
  if (got <= 0) std::fprintf(stderr, "Xvfb did not start (%zd, %s)\n", got, std::strerror(errno));
  if (got <= 0) return;
  display_ = ":" + std::string(number, static_cast<std::size_t>(got));
  while (!display_.empty() && (display_.back() == '\n' || display_.back() == ' ')) display_.pop_back();
  setenv("DISPLAY", display_.c_str(), 1);
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

}  // namespace test

namespace test {

std::string WaitForWindow(const std::string& title, int seconds) {
  for (int tries = 0; tries < seconds * 10; ++tries) {
    const std::string id = RunCommand("xwininfo -root -tree 2>/dev/null | grep -F '\"" + title + "' | awk '{print $1}' | head -1");
    if (!id.empty()) return id;
    usleep(100 * 1000);
  }
  return "";
}

}  // namespace test
