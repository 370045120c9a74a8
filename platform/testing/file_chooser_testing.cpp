// The testing backend's open dialog: answered from a script.
#include "platform/testing/testing.h"

namespace platform {

// Scripted answers (a path, or nullopt for Cancel), whether a chooser
// exists, the dialogs shown, and the bundled songs folder.
static std::deque<std::optional<std::string>> scriptedChoices;
static bool chooserInstalled = true;
static std::vector<testing::OpenDialogCall> dialogs;
static std::string bundledSongsFolder;

OpenDialogResult ChooseFileToOpen(std::string_view title, const FileFilter* filters, int filterCount,
                                  const std::string& startFolder, std::string& path) {
  testing::OpenDialogCall call{std::string(title), startFolder, {}};
  for (int i = 0; i < filterCount; ++i) call.filters.emplace_back(filters[i].label, filters[i].patterns);
  dialogs.push_back(call);
  if (!chooserInstalled) return OpenDialogResult::NoChooser;
  if (scriptedChoices.empty()) return OpenDialogResult::Cancelled;
  const std::optional<std::string> choice = scriptedChoices.front();
  scriptedChoices.pop_front();
  if (!choice) return OpenDialogResult::Cancelled;
  path = *choice;
  return OpenDialogResult::Chosen;
}

const char* FileChooserPackage() { return "zenity"; }
std::string BundledSongsFolder() { return bundledSongsFolder; }

namespace testing {

void ResetFileChooser() {
  scriptedChoices.clear();
  chooserInstalled = true;
  dialogs.clear();
  bundledSongsFolder.clear();
}

void ScriptFileChoice(std::optional<std::string> path) { scriptedChoices.push_back(std::move(path)); }
void SetFileChooserInstalled(bool installed) { chooserInstalled = installed; }
const std::vector<OpenDialogCall>& OpenDialogs() { return dialogs; }
void SetBundledSongsFolder(const std::string& folder) { bundledSongsFolder = folder; }

}  // namespace testing
}  // namespace platform
