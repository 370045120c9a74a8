#include "files/ranking.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/module_state.h"
#include "files/kept_file_name.h"
#include "files/user_text.h"
#include "platform/platform.h"
#include "song/song_parts.h"

namespace files {

static constexpr std::array<char, kRankingTextSize + 1> DefaultText() {
  std::array<char, kRankingTextSize + 1> text{};
  for (int i = 0; i <= kRankingTextSize; ++i) text[static_cast<std::size_t>(i)] = kDefaultRankingText[i];
  return text;
}

// The ranking text (the default until a ranking file is read), its parsed
// scores (0 until then), and the path of its file.
namespace {
struct State {
  std::array<char, kRankingTextSize + 1> rankingText = DefaultText();
  std::int32_t rankingScores[kRankingRecords]{};
  char rankingPath[kRankingPathSize] = "";
  std::string keptRankingPath{};
};
base::ModuleState<State> state;
}  // namespace

void ResetRanking() {
  state.Reset();
  ParseRankingScores();  // the scores agree with the default table from the start
}

char* RankingText() { return state.rankingText.data(); }
std::int32_t RankingScore(int record) { return state.rankingScores[record]; }
void SetRankingScore(int record, std::int32_t score) { state.rankingScores[record] = score; }
const char* RankingPath() { return state.rankingPath; }
const std::string& KeptRankingPath() { return state.keptRankingPath; }

void RestoreDefaultRankingText() { state.rankingText = DefaultText(); }

void ParseRankingScores() {
  for (int r = 0; r < kRankingRecords; ++r) {
    std::int32_t score = 0;
    for (int k = 0; k < kRankingScoreDigits; ++k) {
      const char c = state.rankingText[static_cast<std::size_t>(r * kRankingRecordSize + kRankingScoreOffset + k)];
      score = score * 10 + (c >= '1' && c <= '9' ? c - '0' : 0);
    }
    state.rankingScores[r] = score;
  }
}

// What the chosen part adds to its ranking file's name: nothing for the
// part whose ranking is the song's own (the second track, else the first
// part, whichever part the song starts from); ".t3" or ".t1c4" for
// another. A name ending so is never a song's default ranking (those end in
// ".DAT") nor a song the chooser offers.
static std::string PartSuffix() {
  const int chosen = song::ChosenPart();
  if (chosen == song::kNoPart || chosen == song::SongRankingPart()) return "";
  return "." + song::Part(chosen).id;
}

static void DeriveKeptRankingPath(const char* songPath) {
  const std::string extension = ".DAT" + PartSuffix();
  state.keptRankingPath = KeptFilePath(songPath, "rankings", extension.c_str());
}

// A song whose own extension is DAT (in any case, as a case-blind file
// system sees it) would be its own ranking file: its ranking is kept in the
// user's data folder instead.
static bool ExtensionIsDat(const char* dot) {
  return dot != nullptr && std::strlen(dot) == 4 && std::toupper(static_cast<unsigned char>(dot[1])) == 'D' &&
         std::toupper(static_cast<unsigned char>(dot[2])) == 'A' && std::toupper(static_cast<unsigned char>(dot[3])) == 'T';
}

// The ranking's path beside the song with the part's suffix; "" when there
// is none (no song, a name too long for the buffer, a DAT song).
static std::string BesideRankingPath(const char* songPath, const std::string& suffix) {
  // The extension is the part after the last dot of the file name, so a dot
  // in a folder's name never counts.
  const char* slash = std::strrchr(songPath, '/');
  const char* name = slash != nullptr ? slash + 1 : songPath;
  const char* dot = std::strrchr(name, '.');
  const std::size_t kept = dot != nullptr ? static_cast<std::size_t>(dot + 1 - songPath) : std::strlen(songPath);
  const std::string extension = (dot != nullptr ? "DAT" : ".DAT") + suffix;
  if (songPath[0] == '\0' || kept + extension.size() >= kRankingPathSize || ExtensionIsDat(dot)) return "";
  return std::string(songPath, kept) + extension;
}

void DeriveRankingPath(const char* songPath) {
  DeriveKeptRankingPath(songPath);
  const std::string beside = BesideRankingPath(songPath, PartSuffix());
  std::memcpy(state.rankingPath, beside.c_str(), beside.size() + 1);
}

void RemoveStaleRankingWrites(const char* songPath) {
  std::vector<std::string> endings = {""};
  for (int part = 0; part < song::PartCount(); ++part) endings.push_back("." + song::Part(part).id);
  if (const std::string beside = BesideRankingPath(songPath, ""); !beside.empty()) platform::RemoveStaleWrites(beside, endings);
  if (const std::string kept = KeptFilePath(songPath, "rankings", ".DAT"); !kept.empty())
    platform::RemoveStaleWrites(kept, endings);
}

// The file the ranking is read from and written to: the one in the user's
// data folder once it exists, or when there is no usable path beside the
// song; "" when there is no song.
static std::string RankingFileInUse() {
  if (state.keptRankingPath.empty()) return state.rankingPath;
  std::error_code error;
  const bool keptExists = std::filesystem::exists(std::filesystem::symlink_status(state.keptRankingPath, error));
  return state.rankingPath[0] == '\0' || keptExists ? state.keptRankingPath : std::string(state.rankingPath);
}

enum class Found { Nothing, Ranking, Larger, Other };

// What lies at a ranking path, its first bytes read into `bytes`. Only a
// regular file that is not a song is read as a ranking, and only one of at
// most 80 bytes (which the program writes) is ever replaced: anything else
// is kept from harm, with the reason in errorNumber.
static Found Inspect(const std::string& path, std::string& bytes, int& errorNumber) {
  errorNumber = 0;
  const int fd = platform::OpenRegularFile(path, errorNumber);
  if (fd < 0) return errorNumber == ENOENT ? Found::Nothing : Found::Other;
  char buffer[kRankingTextSize + 1];
  std::size_t got = 0;
  for (;;) {
    const ssize_t read = ::read(fd, buffer + got, sizeof buffer - got);
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) errorNumber = errno;
    if (read <= 0 || (got += static_cast<std::size_t>(read)) == sizeof buffer) break;
  }
  close(fd);
  bytes.assign(buffer, std::min<std::size_t>(got, kRankingTextSize));
  if (errorNumber != 0) return Found::Other;
  const bool song = bytes.rfind("MThd", 0) == 0 || bytes.rfind("RIFF", 0) == 0;
  if (got <= kRankingTextSize && !song) return Found::Ranking;
  errorNumber = kHoldsAnotherFile;
  return song ? Found::Other : Found::Larger;
}

void ReadRankingFile() {
  std::string bytes;
  int errorNumber = 0;
  const std::string path = RankingFileInUse();
  const Found found = path.empty() ? Found::Nothing : Inspect(path, bytes, errorNumber);
  if (found == Found::Ranking || found == Found::Larger) std::memcpy(state.rankingText.data(), bytes.data(), bytes.size());
  ParseRankingScores();
}

// The song's folder refuses the ranking: it takes no new files, or what
// lies at the ranking's path is not a ranking. The ranking goes elsewhere.
static bool BesideRefuses(int errorNumber) {
  switch (errorNumber) {
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOENT:
    case ELOOP:
    case EISDIR:
    case platform::kNotARegularFile:
    case kHoldsAnotherFile: return true;
    default: return false;
  }
}

// Replaces the ranking file at `path` unless something else lies there.
static bool WriteTo(const std::string& path, int& errorNumber) {
  std::string old;
  const Found found = Inspect(path, old, errorNumber);
  if (found == Found::Other || found == Found::Larger) return false;
  // The user's data folder and what it keeps are the user's alone.
  const bool kept = path == state.keptRankingPath;
  if (kept && !platform::MakeUserFolders(std::filesystem::path(path).parent_path().string(), errorNumber)) return false;
  return platform::ReplaceFile(path, std::string_view(state.rankingText.data(), kRankingTextSize),
                               kept ? platform::NewFileAccess::UserOnly : platform::NewFileAccess::AsUmaskLets, errorNumber);
}

bool WriteRankingFile() {
  std::string path = RankingFileInUse();
  if (path.empty()) return false;
  int errorNumber = 0;
  bool written = WriteTo(path, errorNumber);
  if (!written && path != state.keptRankingPath && BesideRefuses(errorNumber) && !state.keptRankingPath.empty()) {
    path = state.keptRankingPath;
    written = WriteTo(path, errorNumber);
  }
  if (!written) ShowFileMessage(Text(kCannotWriteRanking), path.c_str(), errorNumber);
  return written;
}

}  // namespace files
