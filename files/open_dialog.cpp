#include "files/open_dialog.h"

#include <filesystem>
#include <string>

#include "draw/messages.h"
#include "files/song_file.h"
#include "files/user_text.h"
#include "platform/platform.h"

namespace files {

// The current song's folder, or the bundled songs before a song was loaded.
static std::string StartFolder() {
  const std::filesystem::path song = SongPath();
  if (!SongLoaded() || song.empty()) return platform::BundledSongsFolder();
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::absolute(song, error).parent_path();
  return error ? platform::BundledSongsFolder() : folder.string();
}

bool ChooseSongFile() {
  const platform::FileFilter filters[] = {{kMidiFilterLabel, kMidiFilterPatterns},
                                          {kAllFilterLabel, kAllFilterPatterns}};
  const char* title = report::InPlayersLanguage(kDialogTitle);
  std::string chosen;
  switch (platform::ChooseFileToOpen(title, filters, 2, StartFolder(), chosen)) {
    case platform::OpenDialogResult::Cancelled: return false;
    case platform::OpenDialogResult::NoChooser:
      draw::ShowMessage("%s\n%s", Text(kNoFileChooser), platform::FileChooserPackage());
      return false;
    case platform::OpenDialogResult::Chosen: break;
  }
  return TakeSongPath(chosen);
}

bool TakeSongPath(const std::string& path) {
  // A path is never cut: one that does not fit is refused.
  if (path.find('\0') != std::string::npos || !SetSongPath(path.c_str())) {
    ShowFileMessage(Text(kPathTooLong), path.c_str(), 0);
    return false;
  }
  return true;
}

}  // namespace files
