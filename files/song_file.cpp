#include "files/song_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "song/song_scan.h"
#include "song/song_store.h"

namespace files {

// The song path: code-page bytes as the user or the command line gave them.
static char songPath[kSongPathSize] = "";

// A file shorter than this is refused (the smallest valid song has 26).
static constexpr std::size_t kFirstReadSize = 25;
static constexpr std::size_t kBlockSize = 1024;

void ResetSongFile() { songPath[0] = '\0'; }

bool SetSongPath(const char* path) {
  const std::size_t length = std::strlen(path);
  if (length >= sizeof songPath) {
    songPath[0] = '\0';
    return false;
  }
  std::memcpy(songPath, path, length + 1);
  return true;
}

const char* SongPath() { return songPath; }

// Reads the whole file into the free space; returns the number of bytes read
// and sets the song error flag when the file is too short or too large.
static std::int32_t ReadIntoFreeSpace(std::FILE* file) {
  std::uint8_t* free = song::FreeSpace();
  const auto capacity = static_cast<std::size_t>(song::FreeSpaceSize());
  std::size_t total = std::fread(free, 1, std::min(kFirstReadSize, capacity), file);
  if (total < kFirstReadSize) {
    song::SetSongErrorFlag();
    return static_cast<std::int32_t>(total);
  }
  for (;;) {
    if (total == capacity) {
      // The free space is full: anything more means the file does not fit.
      if (std::fgetc(file) != EOF) song::SetSongErrorFlag();
      break;
    }
    const std::size_t wanted = std::min(kBlockSize, capacity - total);
    const std::size_t got = std::fread(free + total, 1, wanted, file);
    total += got;
    if (got < wanted) break;
  }
  if (std::ferror(file)) song::SetSongErrorFlag();
  return static_cast<std::int32_t>(total);
}

LoadResult LoadSongFile() {
  platform::SetCursorShape(platform::CursorShape::Wait);
  for (int track = song::TrackCount(); track >= 1; --track) song::ClearTrack(track);
  std::FILE* file = std::fopen(songPath, "rb");
  if (file == nullptr) {
    platform::SetCursorShape(platform::CursorShape::Arrow);
    return LoadResult::NotOpened;
  }
  const std::int32_t imageLength = ReadIntoFreeSpace(file);
  if (std::fclose(file) != 0) {
    song::SetSongErrorFlag();
    platform::SetCursorShape(platform::CursorShape::Arrow);
    return LoadResult::Refused;
  }
  LoadResult result = LoadResult::Refused;
  if (!song::SongErrorFlag()) {
    result = song::InstallSongImage(imageLength) ? LoadResult::Installed : LoadResult::NoHeader;
    song::ScanSong(song::TrackEntry(song::kCurrentBank, 0));
  }
  platform::SetCursorShape(platform::CursorShape::Arrow);
  return result;
}

}  // namespace files
