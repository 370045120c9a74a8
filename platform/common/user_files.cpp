// Files the program reads and writes for the user: only regular files are
// opened, files are replaced whole and never half-written, and the user's
// own data folder. Both backends use real files.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

namespace {

// What marks the temporary files of a write beside the file they replace,
// followed by six letters or digits.
constexpr std::string_view kPartialMark = ".partial-";
constexpr std::size_t kPartialLetters = 6;

// Writes everything or reports the error number.
bool WriteAll(int fd, std::string_view bytes, int& errorNumber) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      errorNumber = wrote < 0 ? errno : ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The temporary name of a write of `path`: the mark and random letters.
std::string PartialName(const std::string& path) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string name = path + std::string(kPartialMark);
  for (std::size_t i = 0; i < kPartialLetters; ++i) name += kLetters[arc4random_uniform(sizeof kLetters - 1)];
  return name;
}

// Whether `name` is "<prefix><ending>.partial-XXXXXX" for one of `endings`.
bool IsPartialOf(std::string_view name, std::string_view prefix, const std::vector<std::string>& endings) {
  const std::size_t tail = kPartialMark.size() + kPartialLetters;
  if (name.size() < prefix.size() + tail || name.substr(0, prefix.size()) != prefix ||
      name.substr(name.size() - tail, kPartialMark.size()) != kPartialMark)
    return false;
  const std::string_view ending = name.substr(prefix.size(), name.size() - tail - prefix.size());
  return std::find(endings.begin(), endings.end(), ending) != endings.end();
}

// New files get the usual permissions less the umask, or the user's alone.
mode_t NewFileMode(NewFileAccess access) { return access == NewFileAccess::UserOnly ? 0600 : 0666; }

// Gives an unnamed file (O_TMPFILE) a temporary name in its folder.
bool NameUnnamedFile(int fd, const std::string& path, std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = PartialName(path);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

// A new file in the folder of `path` to write the new content into: unnamed
// while it is written where the file system allows it (a kill then leaves
// nothing), otherwise under a temporary name. `named` tells which; -1 on
// failure. Created with `mode` less the umask.
int CreateNewContent(const std::string& path, mode_t mode, bool& named, std::string& name, int& errorNumber) {
  named = false;
  const int unnamed = open(FolderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (unnamed >= 0) return unnamed;
  named = true;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = PartialName(path);
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0) return fd;
    if (errno != EEXIST && errno != EINTR) break;
  }
  errorNumber = errno;
  return -1;
}

// Makes the rename itself survive a power loss. A folder that cannot be
// flushed does not undo the write that is already in place.
void FlushFolder(const std::string& path) {
  const int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return;
  fsync(folder);
  close(folder);
}

}  // namespace

int OpenRegularFile(const std::string& path, int& errorNumber) {
  int fd;
  do fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    errorNumber = errno;
    return -1;
  }
  struct stat status {};
  if (fstat(fd, &status) != 0) {
    errorNumber = errno;
    close(fd);
    return -1;
  }
  if (!S_ISREG(status.st_mode)) {
    errorNumber = S_ISDIR(status.st_mode) ? EISDIR : kNotARegularFile;
    close(fd);
    return -1;
  }
  // Reads wait for the disk as usual.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

void RemoveStaleWrites(const std::string& path, const std::vector<std::string>& endings) {
  const std::size_t slash = path.find_last_of('/');
  const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1);
  DIR* folder = opendir(FolderOf(path).c_str());
  if (folder == nullptr) return;
  while (const dirent* entry = readdir(folder)) {
    if (!IsPartialOf(entry->d_name, prefix, endings)) continue;
    struct stat status {};
    if (fstatat(dirfd(folder), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode))
      unlinkat(dirfd(folder), entry->d_name, 0);
  }
  closedir(folder);
}

bool MakeUserFolders(const std::string& folder, int& errorNumber) {
  // Each folder on the way, from the top: one already there is left as it is.
  for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string step = folder.substr(0, end);
    if (!step.empty() && mkdir(step.c_str(), 0700) != 0 && errno != EEXIST) {
      errorNumber = errno;
      return false;
    }
    if (end == std::string::npos) return true;
  }
}

bool ReplaceFile(const std::string& path, std::string_view bytes, NewFileAccess access, int& errorNumber) {
  RemoveStaleWrites(path, {""});
  bool named = false;
  std::string name;
  const int fd = CreateNewContent(path, NewFileMode(access), named, name, errorNumber);
  if (fd < 0) return false;
  struct stat old {};
  if (lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd, old.st_mode & 07777);
  bool ok = WriteAll(fd, bytes, errorNumber);
  if (ok && fsync(fd) != 0) {
    errorNumber = errno;
    ok = false;
  }
  if (ok && !named) {
    named = NameUnnamedFile(fd, path, name);
    if (!named) {
      errorNumber = errno;
      ok = false;
    }
  }
  if (close(fd) != 0 && ok) {
    errorNumber = errno;
    ok = false;
  }
  if (ok && std::rename(name.c_str(), path.c_str()) != 0) {
    errorNumber = errno;
    ok = false;
  }
  if (!ok && named) unlink(name.c_str());
  if (ok) FlushFolder(path);
  return ok;
}

bool AppendToFile(const std::string& path, std::string_view bytes, NewFileAccess access, int& errorNumber) {
  int fd;
  do fd = open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, NewFileMode(access));
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    errorNumber = errno;
    return false;
  }
  struct stat status {};
  bool ok = fstat(fd, &status) == 0;
  if (!ok) errorNumber = errno;
  if (ok && !S_ISREG(status.st_mode)) {
    errorNumber = S_ISDIR(status.st_mode) ? EISDIR : kNotARegularFile;
    ok = false;
  }
  std::string text;
  char last = '\n';
  if (ok && status.st_size > 0 && pread(fd, &last, 1, status.st_size - 1) == 1 && last != '\n') text = "\n";
  text += bytes;
  ok = ok && WriteAll(fd, text, errorNumber);
  if (ok && fsync(fd) != 0) {
    errorNumber = errno;
    ok = false;
  }
  if (close(fd) != 0 && ok) {
    errorNumber = errno;
    ok = false;
  }
  if (ok && status.st_size == 0) FlushFolder(path);  // a new file's name survives a power loss too
  return ok;
}

std::string UserDataFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') return std::string(data) + "/tonquill";
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
    return std::string(home) + "/.local/share/tonquill";
  return "";
}

std::string UserConfigFolder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/')
    return std::string(config) + "/tonquill";
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return std::string(home) + "/.config/tonquill";
  return "";
}

}  // namespace platform
