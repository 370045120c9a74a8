#include "files/song_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/module_state.h"
#include "files/user_text.h"
#include "platform/platform.h"
#include "song/song_parts.h"
#include "song/song_scan.h"
#include "song/song_store.h"

namespace files {

// The song path (bytes as the chooser or the command line gave them), the
// loaded flag, and the system's error number of the last failed file call.
namespace {
struct State {
  char songPath[kSongPathSize] = "";
  bool songLoaded = false;
  int loadErrorNumber = 0;
};
base::ModuleState<State> state;
}  // namespace

// A file shorter than this (24 bytes or fewer) is refused; the smallest
// valid song has 26.
static constexpr std::size_t kFirstReadSize = 25;
static constexpr std::size_t kBlockSize = 1024;

void ResetSongFile() {
  state.Reset();
}

bool SetSongPath(const char* path) {
  const std::size_t length = std::strlen(path);
  if (length >= sizeof state.songPath) return false;
  std::memcpy(state.songPath, path, length + 1);
  return true;
}

const char* SongPath() { return state.songPath; }
bool SongLoaded() { return state.songLoaded; }
void SetSongLoaded() { state.songLoaded = true; }

// Reads the whole file into the free space, 25 bytes first and then blocks
// of 1024; never writes at or past the capacity. Returns the bytes read.
static std::int32_t ReadIntoFreeSpace(std::FILE* file, LoadResult& result) {
  std::uint8_t* free = song::FreeSpace();
  const auto capacity = static_cast<std::size_t>(song::FreeSpaceSize());
  std::size_t total = std::fread(free, 1, std::min(kFirstReadSize, capacity), file);
  if (total < kFirstReadSize) {
    result = std::ferror(file) ? LoadResult::ReadFailed : LoadResult::TooShort;
  } else {
    for (;;) {
      if (total == capacity) {
        // The free space is full: anything more means the file does not fit.
        if (std::fgetc(file) != EOF) result = LoadResult::TooLarge;
        break;
      }
      const std::size_t wanted = std::min(kBlockSize, capacity - total);
      const std::size_t got = std::fread(free + total, 1, wanted, file);
      total += got;
      if (got < wanted) break;
    }
    if (std::ferror(file)) result = LoadResult::ReadFailed;
  }
  if (result == LoadResult::ReadFailed) state.loadErrorNumber = errno;
  if (result != LoadResult::Installed) song::SetSongErrorFlag();
  return static_cast<std::int32_t>(total);
}

LoadResult LoadSongFile() {
  platform::SetCursorShape(platform::CursorShape::Wait);
  for (int track = song::TrackCount(); track >= 1; --track) song::ClearTrack(track);
  song::FindSongParts();  // none in the emptied store until a song installs
  // Before any song was installed there was no track to clear, and so
  // nothing that cleared the flag an earlier failed load left: a new load
  // must not fail for it.
  song::ClearSongErrorFlag();
  // Only a regular file: a pipe would wait for a writer for ever, and a
  // symbolic link is not followed.
  const int fd = platform::OpenRegularFile(state.songPath, state.loadErrorNumber);
  std::FILE* file = fd >= 0 ? fdopen(fd, "rb") : nullptr;
  if (file == nullptr) {
    if (fd >= 0) {
      state.loadErrorNumber = errno;
      close(fd);
    }
    platform::SetCursorShape(platform::CursorShape::Arrow);
    return LoadResult::NotOpened;
  }
  LoadResult result = LoadResult::Installed;
  const std::int32_t imageLength = ReadIntoFreeSpace(file, result);
  if (std::fclose(file) != 0) {
    state.loadErrorNumber = errno;
    song::SetSongErrorFlag();
    platform::SetCursorShape(platform::CursorShape::Arrow);
    return LoadResult::ReadFailed;
  }
  if (!song::SongErrorFlag()) {
    if (!song::InstallSongImage(imageLength)) result = LoadResult::NoHeader;
    song::ScanSong(song::TrackEntry(0));
  }
  platform::SetCursorShape(platform::CursorShape::Arrow);
  return result;
}

const LoadFailureText* LoadFailureTextOf(LoadResult result) {
  static constexpr LoadFailureText kNotOpened = {
      {"曲ファイルを開けません。", "The song file cannot be opened."}, "cannot be opened"};
  static constexpr LoadFailureText kTooShort = {
      {"曲ファイルが短すぎます（24バイト以下）。", "The song file is too short (24 bytes or fewer)."},
      "is too short to be a song"};
  static constexpr LoadFailureText kTooLarge = {
      {"曲ファイルが大きすぎて読み込めません。", "The song file is too large to load."},
      "is too large for the song buffer"};
  static constexpr LoadFailureText kReadFailed = {
      {"曲ファイルを読み込めません。", "The song file cannot be read."}, "cannot be read"};
  static constexpr LoadFailureText kNoHeader = {
      {"MIDIファイルではありません（ヘッダーがありません）。", "This is not a Standard MIDI File (no header chunk)."},
      "has no MThd header: not a Standard MIDI File"};
  switch (result) {
    case LoadResult::Installed: return nullptr;
    case LoadResult::NotOpened: return &kNotOpened;
    case LoadResult::TooShort: return &kTooShort;
    case LoadResult::TooLarge: return &kTooLarge;
    case LoadResult::ReadFailed: return &kReadFailed;
    case LoadResult::NoHeader: return &kNoHeader;
  }
  return nullptr;
}

void ReportLoadFailure(LoadResult result) {
  const LoadFailureText* text = LoadFailureTextOf(result);
  if (text == nullptr) return;
  const bool withReason = result == LoadResult::NotOpened || result == LoadResult::ReadFailed;
  ShowFileMessage(report::InPlayersLanguage(text->message), state.songPath, withReason ? state.loadErrorNumber : 0);
}

}  // namespace files
