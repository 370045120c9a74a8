// The history of the games played on a song: one line per game that
// reached the end of its guide, appended to a file of the song's own in the
// user's data folder (history/, named after the song's whole path as the
// kept rankings are).
//
// File format, UTF-8 text, one game a line, fields separated by one space:
//   2026-12-08T18:30:05+0100 part t2 speed 100 score 955 good 95 late 3 fast 2 mean -12 spread 20 output 8 offset -12
// the local date and time with its offset from UTC, the guided part's ID,
// the playback speed in percent, the score in tenths of a percent, the
// counts of Good, LATE and FAST presses, and the mean offset of the presses
// and their spread (population standard deviation) in whole milliseconds,
// negative for early; then what the presses were judged against: the
// output's latency and the player's measured offset, in milliseconds.
// Lines written before the last two were kept end at the spread and read
// with both 0. A line that does not read so is skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/report.h"

namespace files {

struct GameRecord {
  std::string when;  // "2026-12-08T18:30:05+0100"
  std::string part;  // "t2"
  int speedPercent = 100;
  int score = 0;  // tenths of a percent, 0..1000
  int good = 0, late = 0, fast = 0;
  int meanMs = 0, spreadMs = 0;
  int outputLatencyMs = 0, playerOffsetMs = 0;
};

// The game as one line of the file, line break included. A part ID that
// is empty or holds a space or a control character is written "?".
std::string HistoryLine(const GameRecord& game);
// Reads one line (without its line break); false, and `game` untouched,
// when the line is not a game of this format.
bool ParseHistoryLine(std::string_view line, GameRecord& game);

// The song's history file; empty when there is no song or no data folder.
std::string HistoryPath(const char* songPath);

// Every game the file holds, oldest first, skipping the lines that do not
// read as games (a damaged line, a foreign one). A file that is missing or
// cannot be read holds none; of a very large file only the newest part
// (the last megabyte) is read.
std::vector<GameRecord> ReadHistory(const std::string& path);

// Appends the game as a line, making the folders as needed, and flushes it
// to the disk, so that a crash loses at most the game being written. False
// with the system's error number when the file cannot be written.
bool AppendToHistory(const std::string& path, const GameRecord& game, int& errorNumber);

// The local date and time now, as the file writes it.
std::string LocalDateTimeNow();

inline constexpr report::PlayerText kNoDataFolder = {"データフォルダがありません", "no data folder"};

// What keeping a game in the history gives the statistics screen.
struct KeptGame {
  std::vector<GameRecord> earlier;  // the song's games before this one, oldest first
  std::string problem;              // why the game was not kept (player's language), or empty
};

// Keeps a game (dated now) in the history of the song at the song path:
// reads the games the file holds, then appends this one.
KeptGame KeepGameInHistory(GameRecord game);

}  // namespace files
