// The open dialog of the FILE button.
#pragma once

#include <string>

#include "report/report.h"

namespace files {

inline constexpr const char* kMidiFilterLabel = "MID Files (*.MID)";
inline constexpr const char* kMidiFilterPatterns = "*.mid *.midi *.kar";
inline constexpr const char* kAllFilterLabel = "All Files (*.*)";
inline constexpr const char* kAllFilterPatterns = "*";
inline constexpr report::PlayerText kDialogTitle = {"曲を開く", "Open a song"};

// Shows the dialog, titled in the system's language, starting in the
// current song's folder (or the bundled songs when there is none), with the
// MIDI filter chosen. True when the user confirmed a file, which is
// then the song path; false when the user cancelled, the path does not fit the
// song path buffer (said in a message), or no dialog can be shown (said in
// a message naming the package to install). The song path changes only
// on true.
bool ChooseSongFile();

// Makes `path` (chosen in the dialog, or sent by a second copy of the game)
// the song path. A path that does not fit is refused, said in a message,
// and leaves the song path as it was.
bool TakeSongPath(const std::string& path);

}  // namespace files
