#include "app/command_line.h"
#include "base/module_state.h"

#include <cstring>

namespace app {

namespace {
struct State {
  char commandLineBuffer[kCommandLineSize] = "";
};
base::ModuleState<State> state;
}  // namespace

bool SetCommandLine(const char* line) {
  const std::size_t length = std::strlen(line);
  if (length >= sizeof state.commandLineBuffer) {
    state.commandLineBuffer[0] = '\0';
    return false;
  }
  std::memcpy(state.commandLineBuffer, line, length + 1);
  return true;
}

const char* CommandLineBuffer() { return state.commandLineBuffer; }

CommandLineRequest ReadCommandLine(const char* line) {
  if (line[0] != '-') return {false, line};
  const char* space = std::strchr(line, ' ');
  return {true, space != nullptr ? space + 1 : ""};
}

}  // namespace app
