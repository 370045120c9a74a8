#include "files/ranking.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "files/user_text.h"
#include "platform/platform.h"

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
State state;
}  // namespace

// Longer names are cut and made unique by a hash of the whole path.
static constexpr std::size_t kLongestKeptName = 200;

void ResetRanking() {
  state = {};
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

// The name of a song's ranking in the user's data folder: its whole path
// with '%' and '/' escaped, so two songs never share one.
static std::string KeptRankingName(const std::string& songPath) {
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
  return name + ".DAT";
}

static void DeriveKeptRankingPath(const char* songPath) {
  state.keptRankingPath.clear();
  const std::string folder = platform::UserDataFolder();
  std::error_code error;
  const std::filesystem::path song = std::filesystem::absolute(songPath, error);
  if (folder.empty() || error || songPath[0] == '\0') return;
  state.keptRankingPath = folder + "/rankings/" + KeptRankingName(song.lexically_normal().string());
}

void DeriveRankingPath(const char* songPath) {
  DeriveKeptRankingPath(songPath);
  // The extension is the part after the last dot of the file name, so a dot
  // in a folder's name never counts.
  const char* slash = std::strrchr(songPath, '/');
  const char* name = slash != nullptr ? slash + 1 : songPath;
  const char* dot = std::strrchr(name, '.');
  const std::size_t kept = dot != nullptr ? static_cast<std::size_t>(dot + 1 - songPath) : std::strlen(songPath);
  const char* extension = dot != nullptr ? "DAT" : ".DAT";
  const std::size_t length = kept + std::strlen(extension);
  state.rankingPath[0] = '\0';
  if (songPath[0] == '\0' || length >= sizeof state.rankingPath) return;
  std::memcpy(state.rankingPath, songPath, kept);
  std::memcpy(state.rankingPath + kept, extension, std::strlen(extension) + 1);
}

// Whether the user's data folder keeps this song's ranking.
static bool RankingKeptElsewhere() {
  std::error_code error;
  return !state.keptRankingPath.empty() && std::filesystem::exists(state.keptRankingPath, error);
}

void ReadRankingFile() {
  if (state.rankingPath[0] != '\0') {
    const char* path = RankingKeptElsewhere() ? state.keptRankingPath.c_str() : state.rankingPath;
    if (std::FILE* file = std::fopen(path, "rb")) {
      std::fread(state.rankingText.data(), 1, kRankingTextSize, file);
      std::fclose(file);
    }
  }
  ParseRankingScores();
}

// The song's folder refuses new files: the ranking goes elsewhere.
static bool FolderNotWritable(int errorNumber) {
  return errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS || errorNumber == ENOENT;
}

bool WriteRankingFile() {
  if (state.rankingPath[0] == '\0') return true;
  const std::string_view bytes(state.rankingText.data(), kRankingTextSize);
  int errorNumber = 0;
  std::string path = RankingKeptElsewhere() ? state.keptRankingPath : std::string(state.rankingPath);
  bool written = platform::ReplaceFile(path, bytes, errorNumber);
  if (!written && path != state.keptRankingPath && FolderNotWritable(errorNumber) && !state.keptRankingPath.empty()) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(state.keptRankingPath).parent_path(), error);
    int keptError = 0;
    if (platform::ReplaceFile(state.keptRankingPath, bytes, keptError)) written = true;
  }
  if (!written) ShowFileMessage(Text(kCannotWriteRanking), path.c_str(), errorNumber);
  return written;
}

}  // namespace files
