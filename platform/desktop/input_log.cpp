// TONQUILL_INPUT_LOG=path: the input events the program takes, and the
// message boxes that interrupt them, one line each, for tracing what the
// desktop delivered (the tests of the real window read it).
#include <cstdio>
#include <cstdlib>

#include "platform/desktop/desktop.h"

namespace platform::desktop {

// The log file, opened at the first line; nullptr when no log is asked for.
static std::FILE* logFile = nullptr;
static bool logOpened = false;

void LogInput(const char* format, ...) {
  if (!logOpened) {
    logOpened = true;
    const char* path = std::getenv("TONQUILL_INPUT_LOG");
    if (path != nullptr && path[0] != '\0') logFile = std::fopen(path, "ae");  // close-on-exec: helpers never inherit it
  }
  if (logFile == nullptr) return;
  std::va_list args;
  va_start(args, format);
  std::vfprintf(logFile, format, args);
  va_end(args);
  std::fputc('\n', logFile);
  std::fflush(logFile);
}

}  // namespace platform::desktop
