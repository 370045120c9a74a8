#include "files/ranking.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace files {

static constexpr std::array<char, kRankingTextSize + 1> DefaultText() {
  std::array<char, kRankingTextSize + 1> text{};
  for (int i = 0; i <= kRankingTextSize; ++i) text[static_cast<std::size_t>(i)] = kDefaultRankingText[i];
  return text;
}

// The ranking text (the default until a ranking file is read), its parsed
// scores (0 until then), and the path of its file.
static std::array<char, kRankingTextSize + 1> rankingText = DefaultText();
static std::int32_t rankingScores[kRankingRecords];
static char rankingPath[kRankingPathSize] = "";

void ResetRanking() {
  RestoreDefaultRankingText();
  for (std::int32_t& score : rankingScores) score = 0;
  rankingPath[0] = '\0';
}

char* RankingText() { return rankingText.data(); }
std::int32_t RankingScore(int record) { return rankingScores[record]; }
void SetRankingScore(int record, std::int32_t score) { rankingScores[record] = score; }
const char* RankingPath() { return rankingPath; }

void RestoreDefaultRankingText() { rankingText = DefaultText(); }

void ParseRankingScores() {
  for (int r = 0; r < kRankingRecords; ++r) {
    std::int32_t score = 0;
    for (int k = 0; k < kRankingScoreDigits; ++k) {
      const char c = rankingText[static_cast<std::size_t>(r * kRankingRecordSize + kRankingScoreOffset + k)];
      score = score * 10 + (c >= '1' && c <= '9' ? c - '0' : 0);
    }
    rankingScores[r] = score;
  }
}

void DeriveRankingPath(const char* songPath) {
  // The extension is the part after the last dot of the file name, so a dot
  // in a folder's name never counts.
  const char* slash = std::strrchr(songPath, '/');
  const char* name = slash != nullptr ? slash + 1 : songPath;
  const char* dot = std::strrchr(name, '.');
  const std::size_t kept = dot != nullptr ? static_cast<std::size_t>(dot + 1 - songPath) : std::strlen(songPath);
  const char* extension = dot != nullptr ? "DAT" : ".DAT";
  const std::size_t length = kept + std::strlen(extension);
  rankingPath[0] = '\0';
  if (songPath[0] == '\0' || length >= sizeof rankingPath) return;
  std::memcpy(rankingPath, songPath, kept);
  std::memcpy(rankingPath + kept, extension, std::strlen(extension) + 1);
}

void ReadRankingFile() {
  if (rankingPath[0] != '\0') {
    if (std::FILE* file = std::fopen(rankingPath, "rb")) {
      std::fread(rankingText.data(), 1, kRankingTextSize, file);
      std::fclose(file);
    }
  }
  ParseRankingScores();
}

}  // namespace files
