// The ranking of the current song: the five best game scores with their
// players' names, kept in an 80-byte ranking file beside the song.
//
// File format (the ranking text is the same bytes): five 16-byte records,
// best first; in each, 10 bytes of name padded with spaces, the score as
// five decimal digits, and a space.
#pragma once

#include <cstdint>
#include <string>

namespace files {

inline constexpr int kRankingRecords = 5;
inline constexpr int kRankingRecordSize = 16;
inline constexpr int kRankingTextSize = kRankingRecords * kRankingRecordSize;  // 80
inline constexpr int kRankingNameSize = 10;
inline constexpr int kRankingScoreOffset = 10;
inline constexpr int kRankingScoreDigits = 5;
inline constexpr int kRankingPathSize = 261;
inline constexpr char kDefaultRankingText[kRankingTextSize + 1] =
    "AAA        0500 BBB        0400 CCC        0300 DDD        0200 EEE        0100 ";

// The in-memory ranking text: 80 bytes and a terminating zero.
char* RankingText();
// The score of record 0 (best) to 4, as parsed or set.
std::int32_t RankingScore(int record);
void SetRankingScore(int record, std::int32_t score);

// The default text back over the ranking text (the scores are not parsed).
void RestoreDefaultRankingText();
// Reads the five scores from the text's score fields: any character other
// than '1' to '9' counts 0.
void ParseRankingScores();

// The ranking file's path for a song path: the file name's extension
// replaced by "DAT" (a name without one gets ".DAT"), so every song has its
// own. Empty when the result would not fit the path buffer, or when the
// song's own extension is DAT (in any case): the song would be its own
// ranking. Also derives where the ranking is kept when there is no such
// path or the song's folder cannot take it: under the user's data folder
// (rankings/), named after the song's whole path. A part other than the
// song's default has a ranking of its own: the same names followed by the
// part's ID ("tune.DAT.t3").
void DeriveRankingPath(const char* songPath);
const char* RankingPath();
// Removes what writes of the song's rankings (of every part, beside it and
// in the user's data folder) left when they were killed midway.
void RemoveStaleRankingWrites(const char* songPath);
const std::string& KeptRankingPath();

// Reads up to 80 bytes of the ranking file over the text (a short or
// missing file leaves the default in place), then parses the scores. A
// ranking kept in the user's data folder is the one read. Only a regular
// file that is not a song is read: a symbolic link, a pipe or a song leaves
// the default (a file longer than 80 bytes is read, but never replaced).
void ReadRankingFile();

// Writes the 80 bytes of the ranking text to the ranking file, whole or not
// at all (the old file stays intact on any failure). When the song's folder
// is not writable, or what lies at the ranking path is not a ranking file,
// the ranking is kept in the user's data folder instead: nothing that is
// not a ranking file is ever replaced. A ranking that cannot be written is
// told to the player and stays in memory; false then, and false without a
// word when there is no song to keep a ranking for.
bool WriteRankingFile();

void ResetRanking();

}  // namespace files
