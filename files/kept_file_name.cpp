#include "files/kept_file_name.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "files/sha256.h"
#include "platform/platform.h"

namespace files {

namespace fs = std::filesystem;

// Longer names are cut, keeping room for an extension within the 255 bytes
// a file name may have.
static constexpr std::size_t kLongestKeptName = 200;
static constexpr std::string_view kCutMark = "%-";
static constexpr std::size_t kDigestDigits = 32;  // 128 bits

static std::string Escaped(const std::string& path) {
  std::string name;
  for (char c : path) {
    if (c == '%') name += "%25";
    else if (c == '/') name += "%2F";
    else name += c;
  }
  return name;
}

std::string KeptFileName(const std::string& songPath, const char* extension) {
  std::string name = Escaped(songPath);
  if (name.size() > kLongestKeptName) {
    const std::size_t kept = kLongestKeptName - kCutMark.size() - kDigestDigits;
    name = name.substr(name.size() - kept) + std::string(kCutMark) + Sha256Hex(songPath).substr(0, kDigestDigits);
  }
  return name + extension;
}

// The name earlier versions gave: a long one cut and hashed (FNV-1a).
static std::string EarlierKeptFileName(const std::string& songPath, const char* extension) {
  std::string name = Escaped(songPath);
  if (name.size() > kLongestKeptName) {
    std::uint64_t hash = 14695981039346656037u;
    for (char c : songPath) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    name = name.substr(name.size() - (kLongestKeptName - 17)) + "-" + hex;
  }
  return name + extension;
}

static bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

// Whether the file under the earlier name is this song's: that name was
// made from `lexical`, which must lead to the song itself.
static bool EarlierNameIsThisSongs(const fs::path& lexical, const fs::path& resolved) {
  std::error_code error;
  const fs::path led = fs::weakly_canonical(lexical, error);
  return !error && led == resolved;
}

std::string KeptFilePath(const char* songPath, const char* subfolder, const char* extension) {
  const std::string folder = platform::UserDataFolder();
  std::error_code error;
  const fs::path absolute = fs::absolute(songPath, error);
  if (folder.empty() || error || songPath[0] == '\0') return "";
  const fs::path lexical = absolute.lexically_normal();
  fs::path resolved = fs::weakly_canonical(absolute, error);
  if (error) resolved = lexical;
  const std::string base = folder + "/" + subfolder + "/";
  const std::string path = base + KeptFileName(resolved.string(), extension);
  const std::string earlier = base + EarlierKeptFileName(lexical.string(), extension);
  if (earlier != path && !Exists(path) && Exists(earlier) && EarlierNameIsThisSongs(lexical, resolved))
    return earlier;
  return path;
}

}  // namespace files
