// What the file side of the game says to the user when a song or ranking
// file fails, in Japanese on a Japanese system and in English elsewhere.
#pragma once

#include <string>

namespace files {

enum TextId {
  kPathTooLong,
  kCannotWriteRanking,
  kNoFileChooser,
  kTextCount
};

// The error number of a path that holds a file the program did not make
// there (a song where its ranking should be); see also
// platform::kNotARegularFile.
inline constexpr int kHoldsAnotherFile = -2;

// The text in the system's language (UTF-8).
const char* Text(TextId id);

// Why a file failed, from its error number, in the system's language.
std::string ReasonText(int errorNumber);

// Shows `what`, the path on its own line and, when errorNumber is not 0,
// the reason the system gave, in one message box.
void ShowFileMessage(const char* what, const char* path, int errorNumber);

}  // namespace files
