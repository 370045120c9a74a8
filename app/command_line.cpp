#include "app/command_line.h"

#include <cstring>

namespace app {

static char commandLineBuffer[kCommandLineSize] = "";

bool SetCommandLine(const char* line) {
  const std::size_t length = std::strlen(line);
  if (length >= sizeof commandLineBuffer) {
    commandLineBuffer[0] = '\0';
    return false;
  }
  std::memcpy(commandLineBuffer, line, length + 1);
  return true;
}

const char* CommandLineBuffer() { return commandLineBuffer; }

CommandLineRequest ReadCommandLine(const char* line) {
  if (line[0] != '-') return {false, line};
  const char* space = std::strchr(line, ' ');
  return {true, space != nullptr ? space + 1 : ""};
}

}  // namespace app
