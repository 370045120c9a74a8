// The command line of the game: taken at start-up, then read by the MIDI
// port set-up and the start-up scene, which loads the song it names, on the
// deterministic backend. The fuzzer runs in a private folder that holds a
// few songs, so that short names can open real files.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "app/shell.h"
#include "fuzz_support.h"
#include "program_reset.h"
#include "midi/midi_out.h"
#include "platform/testing/testing.h"

namespace {

constexpr int kFramePasses = 4;

// Paths the program could open but a fuzzer must not: devices, pipes and
// kernel files may block a read for ever or never end.
bool OpensSomethingUnsafe(const char* line) {
  char resolved[PATH_MAX];
  if (realpath(line, resolved) == nullptr) return false;  // fopen fails as well
  struct stat info {};
  if (stat(resolved, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))) return true;
  for (const char* root : {"/proc/", "/sys/", "/dev/"})
    if (std::strncmp(resolved, root, std::strlen(root)) == 0) return true;
  return false;
}

void CopySong(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream(fuzz::PrivateFolder() + "/" + to, std::ios::binary) << in.rdbuf();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  CopySong(TONQUILL_SOURCE_DIR "/assets/songs/twinkle.mid", "a.mid");
  CopySong(TONQUILL_SOURCE_DIR "/tests/data/engine_mix.mid", "redade7.mid");
  if (chdir(fuzz::PrivateFolder().c_str()) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  if (line.find('\0') != std::string::npos || OpensSomethingUnsafe(line.c_str())) return 0;
  test::ResetProgram(1);
  int exitCode = 0;
  if (app::StartProgram(line.c_str(), exitCode)) {
    for (int i = 0; i < kFramePasses; ++i) {
      platform::testing::AdvanceTime(16);
      if (!app::PumpOnce()) break;
    }
    app::FinishProgram();
  }
  midi::CloseMidiOutPorts();
  return 0;
}
