// The game installed as a desktop program: `cmake --install` into a fresh
// prefix puts exactly the listed files in place, the menu entry, metadata
// and manual pages pass their tools' checks and agree with each other, and
// the installed game, started from another folder, shows a bundled song and
// finds its songs from its own place, wherever the installation lies.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "desktop_kit.h"
#include "game_window.h"

namespace {

namespace fs = std::filesystem;
using test::RunCommand;

const std::string kListedFiles = TONQUILL_SOURCE_DIR "/tests/install/installed_files.txt";

// `cmake --install` of this build into a prefix in a temporary folder; the
// folder goes at the end.
class Installation {
 public:
  Installation() : prefix_(folder_.Path() + "/prefix") {
    log_ = RunCommand(TONQUILL_CMAKE " --install " TONQUILL_BINARY_DIR " --prefix " + prefix_ + " 2>&1; echo \"exit $?\"");
  }
  bool Installed() const { return log_.size() >= 6 && log_.compare(log_.size() - 6, 6, "exit 0") == 0; }
  const std::string& Log() const { return log_; }
  std::string operator/(const std::string& relative) const { return prefix_ + "/" + relative; }
  // Moves the whole installation to another place, deeper than before.
  bool MoveTo(const std::string& relative) {
    const std::string moved = folder_.Path() + "/" + relative;
    std::error_code error;
    fs::create_directories(fs::path(moved).parent_path(), error);
    fs::rename(prefix_, moved, error);
    if (error) return false;
    prefix_ = moved;
    return true;
  }

 private:
  test::TemporaryFolder folder_;
  std::string prefix_;
  std::string log_;
};

// A command's output and error, then "exit N".
std::string OutputAndStatus(const std::string& command) { return RunCommand("(" + command + ") 2>&1; echo \"exit $?\""); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string FileText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every file and link under a folder, relative to it, in byte order.
std::vector<std::string> FilesUnder(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), folder).string());
  std::sort(files.begin(), files.end());
  return files;
}

// The value of `key=` in a desktop entry ("" when absent).
std::string DesktopValue(const std::string& entry, const std::string& key) {
  std::smatch match;
  return std::regex_search(entry, match, std::regex("(^|\n)" + key + "=([^\n]*)")) ? match[2].str() : "";
}

// Every distinct match of a pattern's first group in a text.
std::set<std::string> AllMatches(const std::string& text, const std::string& pattern) {
  std::set<std::string> found;
  const std::regex expression(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), expression); it != std::sregex_iterator(); ++it)
    found.insert((*it)[1].str());
  return found;
}

TEST(Install, PutsExactlyTheListedFilesAndBothProgramsRun) {
  Installation installed;
  ASSERT_TRUE(installed.Installed()) << installed.Log();
  EXPECT_EQ(FilesUnder(installed / ""), Lines(FileText(kListedFiles)))
      << "tests/install/installed_files.txt lists what an installation holds (the Debian package is checked against it)";
  EXPECT_EQ(access((installed / "bin/tonquill").c_str(), X_OK), 0);
  EXPECT_EQ(RunCommand(installed / "bin/tonquill --version"), RunCommand(TONQUILL_BINARY_DIR "/tonquill --version"));
  // The trace plays an installed song from another folder.
  const std::string trace = RunCommand("cd / && " + (installed / "bin/tonquill-trace") + " " +
                                       (installed / "share/tonquill/songs/twinkle.mid") + " | head -1");
  EXPECT_EQ(trace, "# title Twinkle Twinkle Little Star");
}

TEST(Install, MenuEntryAndMetadataPassTheirValidatorsAndAgree) {
  Installation installed;
  ASSERT_TRUE(installed.Installed()) << installed.Log();
  const std::string desktopFile = installed / "share/applications/tonquill.desktop";
  const std::string desktopCheck = OutputAndStatus("desktop-file-validate " + desktopFile);
  EXPECT_TRUE(desktopCheck.ends_with("exit 0") && desktopCheck.find("error:") == std::string::npos) << desktopCheck;
  const std::string metainfo = installed / "share/metainfo/tonquill.metainfo.xml";
  const std::string metainfoCheck = OutputAndStatus("appstreamcli validate --no-net " + metainfo);
  EXPECT_TRUE(metainfoCheck.ends_with("exit 0")) << metainfoCheck;

  // What the validators cannot see: the names that tie the files together.
  const std::string entry = FileText(desktopFile);
  EXPECT_EQ(DesktopValue(entry, "Exec"), "tonquill %f");
  EXPECT_TRUE(fs::exists(installed / ("bin/" + DesktopValue(entry, "TryExec"))));
  for (const char* size : {"48x48", "128x128", "256x256"})
    EXPECT_TRUE(fs::exists(installed / ("share/icons/hicolor/" + std::string(size) + "/apps/" + DesktopValue(entry, "Icon") + ".png")))
        << size;
  EXPECT_NE(DesktopValue(entry, "Name\\[ja\\]"), "");
  EXPECT_NE(DesktopValue(entry, "Comment\\[ja\\]"), "");
  const std::string metadata = FileText(metainfo);
  EXPECT_EQ(AllMatches(metadata, "<launchable type=\"desktop-id\">([^<]*)<"), std::set<std::string>{"tonquill.desktop"});
  EXPECT_EQ(AllMatches(metadata, "<binary>([^<]*)<"), std::set<std::string>{"tonquill"});
  const std::string version = RunCommand(installed / "bin/tonquill --version").substr(sizeof "tonquill");
  EXPECT_EQ(AllMatches(metadata, "<release version=\"([^\"]*)\""), std::set<std::string>{version})
      << "the release entry names this version";
}

TEST(Install, IconsAreTheWindowIconDrawnLarger) {
  Installation installed;
  ASSERT_TRUE(installed.Installed()) << installed.Log();
  const std::string picture = TONQUILL_SOURCE_DIR "/assets/MAIN.bmp";
  const std::string pictureBytes = RunCommand("convert " + picture + " -depth 8 rgb:- | md5sum");
  for (int size : {48, 128, 256}) {
    SCOPED_TRACE(size);
    const std::string icon = installed / ("share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/tonquill.png");
    EXPECT_EQ(RunCommand("identify -format %m:%wx%h " + icon), "PNG:" + std::to_string(size) + "x" + std::to_string(size));
    if (size % 32 == 0) {
      // A whole multiple: each pixel of the picture became a square of one colour.
      EXPECT_EQ(RunCommand("convert " + icon + " -scale 32x32 -depth 8 rgb:- | md5sum"), pictureBytes);
    } else {
      // ImageMagick's own averaging scale agrees within a level of rounding.
      EXPECT_EQ(OutputAndStatus("convert " + picture + " -scale " + std::to_string(size) + "x" + std::to_string(size) +
                                " png:- | compare -metric AE -fuzz 1% " + icon + " - null:"),
                "0exit 0") << "pixels further apart than 1%";
    }
  }
}

TEST(Install, ManualPagesRenderWithoutWarningsAndCoverTheCommandLine) {
  Installation installed;
  ASSERT_TRUE(installed.Installed()) << installed.Log();
  const std::string man = "LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l ";
  std::string pages[2];
  int n = 0;
  for (const char* name : {"tonquill", "tonquill-trace"}) {
    SCOPED_TRACE(name);
    const std::string page = installed / ("share/man/man6/" + std::string(name) + ".6.gz");
    EXPECT_EQ(RunCommand(man + page + " 2>&1 >/dev/null; echo \"exit $?\""), "exit 0") << "no warnings, no errors";
    pages[n] = RunCommand(man + page + " 2>/dev/null | col -b");
    for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS"})
      EXPECT_NE(pages[n].find(std::string("\n") + section + "\n"), std::string::npos) << section;
    ++n;
  }
  const std::string& game = pages[0];
  // Every option the programs print in their usage.
  for (const std::string& option : AllMatches(RunCommand(installed / "bin/tonquill --help"), "(--[a-z-]+)"))
    EXPECT_NE(game.find(option), std::string::npos) << option;
  for (const std::string& option : AllMatches(RunCommand(installed / "bin/tonquill-trace 2>&1"), "(--[a-z-]+)"))
    EXPECT_NE(pages[1].find(option), std::string::npos) << option;
  // Every TONQUILL_ variable named in the program's sources, and where the
  // rankings of installed songs go.
  const std::set<std::string> variables = AllMatches(
      RunCommand("cd " TONQUILL_SOURCE_DIR " && grep -rhoE '\"TONQUILL_[A-Z_]+\"' app draw files game midi platform player song"),
      "\"(TONQUILL_[A-Z_]+)\"");
  EXPECT_GE(variables.size(), 5u) << "the sources' variables were found";
  for (const std::string& variable : variables) EXPECT_NE(game.find(variable), std::string::npos) << variable;
  for (const char* words : {"XDG_DATA_HOME", "$XDG_DATA_HOME/tonquill/rankings/", "ENVIRONMENT", "FILES", "KEYS"})
    EXPECT_NE(game.find(words), std::string::npos) << words;
}

// The installed game on a private X server.
class InstalledGame : public test::GameWindowTest {
 protected:
  // How many dark pixels the title panel shows: the panel is bare silver in
  // the artwork, so only a title's letters are dark there.
  int TitleLetters() const {
    return test::DarkPixels(X(20), Y(96), static_cast<int>(200 * scale_), static_cast<int>(14 * scale_));
  }
  // The folder the open dialog starts in, read from the real zenity's
  // command line; the dialog is then cancelled and the game ended.
  std::string DialogFolder() {
    StartGame("-");  // a window with no song: the dialog starts at the songs that came with the game
    if (HasFatalFailure()) return "(no game)";
    EXPECT_EQ(TitleLetters(), 0) << "no song, no title";
    const std::string fileButton = Crop(10, 180, 62, 30);
    const std::string dialog = OpenTheDialog();
    if (dialog.empty()) return "(no dialog)";
    std::string folder = "(no --filename)";
    for (const std::string& argument : Lines(RunCommand("tr '\\0' '\\n' < /proc/$(xdotool getwindowpid " + dialog + ")/cmdline")))
      if (argument.starts_with("--filename=")) folder = argument.substr(sizeof "--filename=" - 1);
    RunCommand("xdotool windowfocus --sync " + dialog + " key Escape");
    test::WaitUntil(DialogGone, 20);
    // The game has taken the cancel once FILE rises again; only then does
    // the Escape that ends it count.
    EXPECT_TRUE(test::WaitUntil([&] { return Crop(10, 180, 62, 30) == fileButton; }, 10));
    EXPECT_TRUE(Quit());
    return folder;
  }
};

TEST_F(InstalledGame, StartedFromAnotherFolderItShowsABundledSong) {
  Installation installed;
  ASSERT_TRUE(installed.Installed()) << installed.Log();
  program_ = installed / "bin/tonquill";
  // StartGame runs it in a fresh folder.
  ASSERT_NO_FATAL_FAILURE(StartGame(installed / "share/tonquill/songs/twinkle.mid"));
  EXPECT_TRUE(test::WaitUntil([this] { return TitleLetters() > 100; }, 10)) << "the title panel shows the song";
  display_.Screenshot(TONQUILL_BINARY_DIR "/installed_game.png");
}

TEST_F(InstalledGame, OpenDialogStartsInTheInstalledSongs) {
  Installation installed;
  ASSERT_TRUE(installed.Installed()) << installed.Log();
  program_ = installed / "bin/tonquill";
  EXPECT_EQ(DialogFolder(), fs::canonical(installed / "share/tonquill/songs").string() + "/");
}

TEST_F(InstalledGame, AMovedInstallationFindsItsSongsInItsNewPlace) {
  Installation installed;
  ASSERT_TRUE(installed.Installed()) << installed.Log();
  ASSERT_TRUE(installed.MoveTo("moved/elsewhere"));
  program_ = installed / "bin/tonquill";
  EXPECT_EQ(DialogFolder(), fs::canonical(installed / "share/tonquill/songs").string() + "/");
}

TEST_F(InstalledGame, TheBuildFolderFindsTheSourceSongs) {
  const fs::path songs = fs::path(TONQUILL_BINARY_DIR) / "../assets/songs";
  if (!fs::exists(songs)) GTEST_SKIP() << "this build folder does not lie in the source tree";
  EXPECT_EQ(DialogFolder(), fs::canonical(songs).string() + "/");
}

}  // namespace
