#include "files/kept_file_name.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"

namespace files {

// Longer names are cut and made unique by a hash of the whole path.
static constexpr std::size_t kLongestKeptName = 200;

std::string KeptFileName(const std::string& songPath, const char* extension) {
  std::string name;
  for (char c : songPath) {
    if (c == '%') name += "%25";
    else if (c == '/') name += "%2F";
    else name += c;
  }
  if (name.size() > kLongestKeptName) {
    std::uint64_t hash = 14695981039346656037u;  // FNV-1a
    for (char c : songPath) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    name = name.substr(name.size() - (kLongestKeptName - 17)) + "-" + hex;
  }
  return name + extension;
}

std::string KeptFilePath(const char* songPath, const char* subfolder, const char* extension) {
  const std::string folder = platform::UserDataFolder();
  std::error_code error;
  const std::filesystem::path song = std::filesystem::absolute(songPath, error);
  if (folder.empty() || error || songPath[0] == '\0') return "";
  return folder + "/" + subfolder + "/" + KeptFileName(song.lexically_normal().string(), extension);
}

}  // namespace files
