#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "private_home.h"

namespace fuzz {

namespace {

// Made before the fuzzer starts, so that even its first input runs in it.
const test::PrivateHome home;

}  // namespace

const std::string& PrivateFolder() {
  static const std::string folder = [] {
    std::string name = std::string(std::getenv("TMPDIR")) + "/tonquill-fuzz-XXXXXX";
    if (mkdtemp(name.data()) == nullptr) std::abort();
    return name;
  }();
  return folder;
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
