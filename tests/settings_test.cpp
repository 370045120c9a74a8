// The settings file: the player's choices written whole and read back, a
// damaged or foreign line never costing the others, and a file that is not
// the game's own never replaced.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "files/settings.h"
#include "platform/platform.h"
#include "smf_builder.h"

namespace {

namespace fs = std::filesystem;
using files::View;

constexpr const char* kHeader =
    "# Tonquill settings: one \"key value\" a line. The game writes this file\n"
    "# whenever a choice changes; lines it does not know are kept, comments not.\n";

// The user's settings folder, private to the test and not made yet.
class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    files::ResetSettings();
    top_ = fs::path(test::WriteTempFile({}, "placeholder")).parent_path();
    for (const char* name : {"XDG_CONFIG_HOME", "HOME"})
      if (const char* value = std::getenv(name)) saved_.emplace_back(name, value);
    setenv("XDG_CONFIG_HOME", (top_ / "config").c_str(), 1);
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
    fs::remove_all(top_);
    files::ResetSettings();
  }
  fs::path Folder() const { return top_ / "config" / "tonquill"; }
  fs::path File() const { return Folder() / "settings.conf"; }
  void WriteFile(const std::string& text) {
    fs::create_directories(Folder());
    std::ofstream(File(), std::ios::binary) << text;
  }
  static int Mode(const fs::path& path) { return static_cast<int>(fs::symlink_status(path).permissions()); }
  static bool Change(const std::function<void(files::Settings&)>& edit) {
    files::Settings settings = files::CurrentSettings();
    edit(settings);
    int error = 0;
    return files::ChangeSettings(settings, error);
  }

  fs::path top_;
  std::vector<std::pair<std::string, std::string>> saved_;
};

// Made under a umask that takes nothing away, the folders and the file are
// still the user's alone; the file lists every choice and reads back the same.
TEST_F(SettingsFile, ChoicesAreWrittenWholeForTheUserAloneAndReadBack) {
  const mode_t umaskBefore = umask(0);
  const bool written = Change([](files::Settings& s) { s = {View::NotesAhead, true, true, true, 23, -1500, 150}; });
  umask(umaskBefore);
  ASSERT_TRUE(written);
  EXPECT_EQ(test::ReadText(File()), std::string(kHeader) +
                                        "view ahead\nnotes-ahead-hint-shown yes\ncount-in on\nmetronome on\n"
                                        "computer-keyboard-offset-ms 23\nmidi-keyboard-offset-ms -1000\n"
                                        "external-port-latency-ms 150\n");
  EXPECT_EQ(Mode(top_ / "config"), 0700);
  EXPECT_EQ(Mode(Folder()), 0700);
  EXPECT_EQ(Mode(File()), 0600);
  EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 1) << "no temporary file is left";

  files::ResetSettings();
  const files::SettingsRead read = files::LoadSettings();
  EXPECT_EQ(read.errorNumber, 0);
  EXPECT_TRUE(read.skippedLines.empty());
  EXPECT_EQ(files::CurrentSettings(), (files::Settings{View::NotesAhead, true, true, true, 23, -1000, 150}));

  fs::remove(File());
  EXPECT_TRUE(Change([](files::Settings&) {}));
  EXPECT_FALSE(fs::exists(File())) << "nothing changed, nothing written";
}

TEST_F(SettingsFile, ReadingTakesEveryLineThatReadsAndSkipsTheRest) {
  struct Case {
    const char* name;
    const char* text;  // nullptr: no file
    files::Settings expected;
    std::vector<int> skipped;
  } cases[] = {
      {"no file", nullptr, {}, {}},
      {"spaces, tabs and CRLF",
       "  view   plain \r\n\tmetronome\ton\r\ncount-in yes\r\nexternal-port-latency-ms 0080\r\n",
       {View::Plain, false, true, true, 0, 0, 80},
       {}},
      {"damaged lines among good ones",
       "view sideways\nmetronome on\ncomputer-keyboard-offset-ms 12ms\nmidi-keyboard-offset-ms -30\n"
       "external-port-latency-ms -5\ncount-in\nview\x01names\n\n# a comment\nnotes-ahead-hint-shown yes",
       {View::Names, true, false, true, 0, -30, 0},
       {1, 3, 5, 6, 7}},
      {"the last line of a key that reads holds", "view plain\nview ahead\nview nonsense\n", {View::NotesAhead}, {3}},
      {"values past the limits", "computer-keyboard-offset-ms 1001\nmidi-keyboard-offset-ms -1000\nexternal-port-latency-ms 1001\n",
       {.midiKeyboardOffsetMs = -1000},
       {1, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(top_ / "config");
    if (c.text != nullptr) WriteFile(c.text);
    const files::SettingsRead read = files::LoadSettings();
    EXPECT_EQ(read.errorNumber, 0);
    EXPECT_EQ(read.skippedLines, c.skipped);
    EXPECT_EQ(files::CurrentSettings(), c.expected);
  }
}

// A newer version's keys, and a value this version cannot read, go back
// into the file as they stood until the player makes that choice anew; an
// existing file and folder keep their permissions.
TEST_F(SettingsFile, LinesThisVersionDoesNotKnowAreWrittenBack) {
  WriteFile("# someone's note\nhand-split moving\nview hands\nmetronome on\nfuture-thing  a b\tc\n");
  fs::permissions(Folder(), fs::perms(0755));
  fs::permissions(File(), fs::perms(0640));
  EXPECT_EQ(files::LoadSettings().skippedLines, std::vector<int>{3});
  EXPECT_EQ(files::CurrentSettings().view, View::Names);

  const std::string rest =
      "computer-keyboard-offset-ms 0\nmidi-keyboard-offset-ms 0\nexternal-port-latency-ms 0\n"
      "hand-split moving\nfuture-thing  a b\tc\n";
  ASSERT_TRUE(Change([](files::Settings& s) { s.countIn = true; }));
  EXPECT_EQ(test::ReadText(File()),
            std::string(kHeader) + "view hands\nnotes-ahead-hint-shown no\ncount-in on\nmetronome on\n" + rest);
  ASSERT_TRUE(Change([](files::Settings& s) { s.view = View::Plain; }));
  EXPECT_EQ(test::ReadText(File()),
            std::string(kHeader) + "view plain\nnotes-ahead-hint-shown no\ncount-in on\nmetronome on\n" + rest);
  EXPECT_EQ(Mode(Folder()), 0755);
  EXPECT_EQ(Mode(File()), 0640);
}

// Whatever lies where the file belongs and cannot be read as it gives the
// defaults, says why, and is left as it is.
TEST_F(SettingsFile, WhatCannotBeReadGivesTheDefaultsAndIsNeverReplaced) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;
    int error;
  } cases[] = {
      {"a symbolic link",
       [this](const fs::path& p) {
         std::ofstream(top_ / "elsewhere") << "view ahead\n";
         fs::create_symlink(top_ / "elsewhere", p);
       },
       ELOOP},
      {"a folder", [](const fs::path& p) { fs::create_directory(p); }, EISDIR},
      {"a pipe", [](const fs::path& p) { mkfifo(p.c_str(), 0600); }, platform::kNotARegularFile},
      {"a file too large to be settings",
       [](const fs::path& p) { std::ofstream(p) << std::string(70000, '#') << "\nview ahead\n"; },
       EFBIG},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(top_ / "config");
    fs::create_directories(Folder());
    c.make(File());
    const fs::file_status before = fs::symlink_status(File());
    EXPECT_EQ(files::LoadSettings().errorNumber, c.error);
    EXPECT_EQ(files::CurrentSettings(), files::Settings{});
    int error = 0;
    EXPECT_FALSE(files::ChangeSettings({.metronome = true}, error));
    EXPECT_EQ(error, c.error);
    EXPECT_TRUE(files::CurrentSettings().metronome) << "the choice holds for this run";
    EXPECT_EQ(fs::symlink_status(File()).type(), before.type());
    EXPECT_TRUE(before.type() != fs::file_type::regular || fs::file_size(File()) > 70000) << "the large file is kept";
  }
  EXPECT_EQ(test::ReadText(top_ / "elsewhere"), "view ahead\n");
}

TEST_F(SettingsFile, TheFolderComesFromTheUsersEnvironment) {
  struct Case {
    const char* config;  // XDG_CONFIG_HOME, nullptr for unset
    const char* home;
    std::string folder;
  } cases[] = {
      {"/x/conf", "/h", "/x/conf/tonquill"},
      {"relative/conf", "/h", "/h/.config/tonquill"},
      {"", "/h", "/h/.config/tonquill"},
      {nullptr, "/h", "/h/.config/tonquill"},
      {nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.config ? c.config : "unset");
    c.config ? setenv("XDG_CONFIG_HOME", c.config, 1) : unsetenv("XDG_CONFIG_HOME");
    c.home ? setenv("HOME", c.home, 1) : unsetenv("HOME");
    EXPECT_EQ(platform::UserConfigFolder(), c.folder);
  }
  // With no folder at all, the defaults hold and a change is not kept.
  EXPECT_EQ(files::LoadSettings().errorNumber, 0);
  int error = 0;
  EXPECT_FALSE(files::ChangeSettings({View::Plain}, error));
  EXPECT_EQ(error, ENOENT);
  EXPECT_EQ(files::CurrentSettings().view, View::Plain);
}

// A trace is what its command line says, whatever the player chose.
TEST_F(SettingsFile, TheTraceNeverReadsThem) {
  const std::string trace = std::string(TONQUILL_TRACE) + " --mode game " TONQUILL_SOURCE_DIR "/assets/songs/twinkle.mid";
  const std::string plain = test::CommandOutput("XDG_CONFIG_HOME=" + (top_ / "none").string() + " " + trace);
  const std::string chosen = "view ahead\ncount-in on\nmetronome on\ncomputer-keyboard-offset-ms 200\n";
  WriteFile(chosen);
  EXPECT_EQ(test::CommandOutput("XDG_CONFIG_HOME=" + (top_ / "config").string() + " " + trace), plain);
  EXPECT_EQ(test::ReadText(File()), chosen);
  EXPECT_FALSE(fs::exists(top_ / "none"));
}

}  // namespace
