#include "fuzz_support.h"

#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

static std::string privateFolder;

static int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return std::remove(path); }
static void RemovePrivateFolder() {
  if (!privateFolder.empty()) nftw(privateFolder.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

const std::string& PrivateFolder() {
  if (privateFolder.empty()) {
    const char* temporary = std::getenv("TMPDIR");
    std::string name = std::string(temporary != nullptr && temporary[0] != '\0' ? temporary : "/tmp") + "/tonquill-fuzz-XXXXXX";
    if (mkdtemp(name.data()) == nullptr) std::abort();
    privateFolder = name;
    std::atexit(RemovePrivateFolder);
  }
  return privateFolder;
}

std::string WriteFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = PrivateFolder() + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return path;
}

}  // namespace fuzz
