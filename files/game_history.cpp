#include "files/game_history.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "files/kept_file_name.h"
#include "files/song_file.h"
#include "files/user_text.h"
#include "platform/platform.h"

namespace files {

static constexpr off_t kNewestBytesRead = 1 << 20;
static constexpr int kLongestPartId = 32;

// "YYYY-MM-DDThh:mm:ss+hhmm": digits where the pattern has '9'.
static bool IsDateTime(std::string_view text) {
  static constexpr std::string_view kPattern = "9999-99-99T99:99:99+9999";
  if (text.size() != kPattern.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char p = kPattern[i], c = text[i];
    if (p == '9' ? (c < '0' || c > '9') : p == '+' ? (c != '+' && c != '-') : c != p) return false;
  }
  return true;
}

static bool IsPartId(std::string_view text) {
  if (text.empty() || text.size() > static_cast<std::size_t>(kLongestPartId)) return false;
  for (char c : text)
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F) return false;
  return true;
}

std::string HistoryLine(const GameRecord& game) {
  char numbers[200];
  std::snprintf(numbers, sizeof numbers, " speed %d score %d good %d late %d fast %d mean %d spread %d output %d offset %d\n",
                game.speedPercent, game.score, game.good, game.late, game.fast, game.meanMs, game.spreadMs,
                game.outputLatencyMs, game.playerOffsetMs);
  return game.when + " part " + (IsPartId(game.part) ? game.part : std::string("?")) + numbers;
}

// The whole token as a number within low..high.
static bool ReadNumber(std::string_view token, int low, int high, int& value) {
  int read = 0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), read);
  if (error != std::errc() || end != token.data() + token.size() || read < low || read > high) return false;
  value = read;
  return true;
}

bool ParseHistoryLine(std::string_view line, GameRecord& game) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::vector<std::string_view> tokens;
  for (std::size_t start = 0; start <= line.size();) {
    const std::size_t space = std::min(line.find(' ', start), line.size());
    tokens.push_back(line.substr(start, space - start));
    start = space + 1;
  }
  static constexpr const char* kKeys[] = {"part", "speed", "score", "good", "late", "fast", "mean", "spread", "output", "offset"};
  // Older lines end at the spread.
  const bool heardFigures = tokens.size() == 21;
  if ((tokens.size() != 17 && !heardFigures) || !IsDateTime(tokens[0]) || !IsPartId(tokens[2])) return false;
  for (std::size_t k = 0; 2 * k + 1 < tokens.size(); ++k)
    if (tokens[1 + 2 * k] != kKeys[k]) return false;
  GameRecord read;
  read.when = tokens[0];
  read.part = tokens[2];
  const bool numbers = ReadNumber(tokens[4], 1, 100000, read.speedPercent) && ReadNumber(tokens[6], 0, 1000, read.score) &&
                       ReadNumber(tokens[8], 0, INT_MAX, read.good) && ReadNumber(tokens[10], 0, INT_MAX, read.late) &&
                       ReadNumber(tokens[12], 0, INT_MAX, read.fast) &&
                       ReadNumber(tokens[14], INT_MIN, INT_MAX, read.meanMs) &&
                       ReadNumber(tokens[16], 0, INT_MAX, read.spreadMs) &&
                       (!heardFigures || (ReadNumber(tokens[18], 0, INT_MAX, read.outputLatencyMs) &&
                                          ReadNumber(tokens[20], INT_MIN, INT_MAX, read.playerOffsetMs)));
  if (!numbers) return false;
  game = std::move(read);
  return true;
}

std::string HistoryPath(const char* songPath) { return KeptFilePath(songPath, "history", ".txt"); }

std::vector<GameRecord> ReadHistory(const std::string& path) {
  std::vector<GameRecord> games;
  int errorNumber = 0;
  const int fd = path.empty() ? -1 : platform::OpenRegularFile(path, errorNumber);
  if (fd < 0) return games;
  // Of a long file, the byte before the newest part is read too: a line
  // break there means the first line read is whole.
  const off_t size = lseek(fd, 0, SEEK_END);
  const off_t from = size > kNewestBytesRead ? size - kNewestBytesRead - 1 : 0;
  std::string text;
  if (size >= 0 && lseek(fd, from, SEEK_SET) == from) {
    char buffer[65536];
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      text.append(buffer, static_cast<std::size_t>(got));
    }
  }
  close(fd);
  // Read from the middle, the text up to the first line break is a part of
  // a line, or the break before a whole one: skip it.
  std::size_t start = from > 0 ? std::min(text.find('\n'), text.size()) + 1 : 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    GameRecord game;
    if (ParseHistoryLine(std::string_view(text).substr(start, end - start), game)) games.push_back(std::move(game));
    start = end + 1;
  }
  return games;
}

bool AppendToHistory(const std::string& path, const GameRecord& game, int& errorNumber) {
  if (path.empty()) {
    errorNumber = ENOENT;
    return false;
  }
  // The user's data folder and what it keeps are the user's alone.
  return platform::MakeUserFolders(std::filesystem::path(path).parent_path().string(), errorNumber) &&
         platform::AppendToFile(path, HistoryLine(game), platform::NewFileAccess::UserOnly, errorNumber);
}

std::string LocalDateTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[40] = "";
  if (localtime_r(&now, &local) == nullptr || std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local) == 0)
    return "1970-01-01T00:00:00+0000";
  return text;
}

KeptGame KeepGameInHistory(GameRecord game) {
  KeptGame kept;
  const std::string path = HistoryPath(SongPath());
  kept.earlier = ReadHistory(path);
  game.when = LocalDateTimeNow();
  int errorNumber = 0;
  if (path.empty()) kept.problem = report::InPlayersLanguage(kNoDataFolder);
  else if (!AppendToHistory(path, game, errorNumber)) kept.problem = ReasonText(errorNumber);
  return kept;
}

}  // namespace files
