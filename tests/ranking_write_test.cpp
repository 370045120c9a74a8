// Writing the ranking file: whole or not at all, told when it fails, and
// kept in the user's data folder when the song's folder takes no files or
// what lies beside the song is not a ranking file.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "files/ranking.h"
#include "platform/testing/testing.h"
#include "smf_builder.h"

namespace {

namespace pt = platform::testing;
namespace fs = std::filesystem;

class RankingWrite : public ::testing::Test {
 protected:
  void SetUp() override {
    pt::Reset();
    files::ResetRanking();
    folder_ = fs::path(test::WriteTempFile({}, "placeholder")).parent_path();
    // The user's data folder, private to the test.
    const char* old = std::getenv("XDG_DATA_HOME");
    oldDataHome_ = old != nullptr ? old : "";
    hadDataHome_ = old != nullptr;
    setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
  }
  void TearDown() override {
    if (hadDataHome_) setenv("XDG_DATA_HOME", oldDataHome_.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
    fs::remove_all(folder_);
  }
  void SetFirstName(const char* name) { std::memcpy(files::RankingText(), name, std::strlen(name)); }

  fs::path folder_;
  std::string oldDataHome_;
  bool hadDataHome_ = false;
};

// An older ranking up to the full 80 bytes is replaced whole.
TEST_F(RankingWrite, TheEightyBytesReplaceTheFile) {
  for (const std::size_t size : {std::size_t{57}, std::size_t{80}}) {
    SCOPED_TRACE(size);
    files::DeriveRankingPath((folder_ / "tune.mid").c_str());
    std::ofstream(folder_ / "tune.DAT") << std::string(size, 'o');
    SetFirstName("NEW");
    ASSERT_TRUE(files::WriteRankingFile());
    const std::string written = test::ReadText(folder_ / "tune.DAT");
    EXPECT_EQ(written.size(), 80u);
    EXPECT_EQ(written.substr(0, 16), "NEW        0500 ");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2) << "no temporary file is left";
  }
}

// A disk that fills up in the middle of the write: the file size limit
// stops it after 40 of the 80 bytes.
TEST_F(RankingWrite, AWriteThatFailsMidwayLeavesTheOldRankingIntact) {
  files::DeriveRankingPath((folder_ / "tune.mid").c_str());
  const std::string old = "OLD        0900 OLD        0800 OLD        0700 OLD        0600 OLD        0500 ";
  std::ofstream(folder_ / "tune.DAT") << old;
  SetFirstName("NEW");
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  rlimit limit{}, saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  limit = saved;
  limit.rlim_cur = 40;
  setrlimit(RLIMIT_FSIZE, &limit);
  const bool written = files::WriteRankingFile();
  setrlimit(RLIMIT_FSIZE, &saved);
  sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_FALSE(written);
  EXPECT_EQ(test::ReadText(folder_ / "tune.DAT"), old) << "never half-written";
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2) << "no temporary file is left";
  ASSERT_EQ(pt::Boxes().size(), 1u) << "the player is told";
  EXPECT_EQ(pt::Boxes()[0].text.rfind("The score data cannot be saved.\n" + (folder_ / "tune.DAT").string(), 0), 0u);
  EXPECT_EQ(std::string(files::RankingText(), 3), "NEW") << "the ranking stays in memory";
}

// A song in a folder that takes no new files (/sys refuses them, even to
// the superuser) keeps its ranking in the user's data folder, named after
// its whole path, and reads it from there.
TEST_F(RankingWrite, ASongInAFolderThatTakesNoFilesKeepsItsRankingForTheUser) {
  files::DeriveRankingPath("/sys/tune.mid");
  SetFirstName("KEPT");
  ASSERT_TRUE(files::WriteRankingFile());
  EXPECT_TRUE(pt::Boxes().empty());
  const fs::path kept = folder_ / "data" / "tonquill" / "rankings" / "%2Fsys%2Ftune.mid.DAT";
  EXPECT_EQ(files::KeptRankingPath(), kept.string());
  EXPECT_EQ(test::ReadText(kept).substr(0, 16), "KEPT       0500 ");

  // Another song of the same name elsewhere has a ranking of its own.
  files::ResetRanking();
  files::DeriveRankingPath("/proc/tune.mid");
  EXPECT_NE(files::KeptRankingPath(), kept.string());

  // Read back from there.
  files::ResetRanking();
  files::DeriveRankingPath("/sys/tune.mid");
  files::ReadRankingFile();
  EXPECT_EQ(std::string(files::RankingText(), 4), "KEPT");
  EXPECT_EQ(files::RankingScore(0), 500);
}

TEST_F(RankingWrite, NoSongWritesNothingAndSaysSo) {
  files::DeriveRankingPath("");
  EXPECT_FALSE(files::WriteRankingFile()) << "nothing was written";
  EXPECT_FALSE(fs::exists(folder_ / "data"));
  EXPECT_TRUE(pt::Boxes().empty());
}

// Whatever lies where the ranking belongs and is not a ranking file is
// neither read nor replaced: the ranking is kept in the user's data folder.
// A pipe would also hang a plain open: the alarm ends such a wait.
TEST_F(RankingWrite, WhatIsNotARankingFileIsNeitherReadNorReplaced) {
  const std::string secret = "TOKEN-OF-ANOTHER-USER-0123456789";
  std::ofstream(folder_ / "secret") << secret;
  const std::string song = "MThd" + std::string(40, 'x');
  const std::string larger(200, 'L');
  const struct {
    const char* what;
    std::function<void(const fs::path&)> make;
    std::string readsAs;  // the first 10 bytes of the ranking read
  } cases[] = {
      {"a symbolic link", [&](const fs::path& p) { fs::create_symlink(folder_ / "secret", p); }, "AAA       "},
      {"a pipe", [](const fs::path& p) { mkfifo(p.c_str(), 0600); }, "AAA       "},
      {"a folder", [](const fs::path& p) { fs::create_directory(p); }, "AAA       "},
      {"a song", [&](const fs::path& p) { std::ofstream(p) << song; }, "AAA       "},
      {"a file larger than a ranking", [&](const fs::path& p) { std::ofstream(p) << larger; }, larger.substr(0, 10)},
      {"a file one byte longer than a ranking", [&](const fs::path& p) { std::ofstream(p) << larger.substr(0, 81); },
       larger.substr(0, 10)},
  };
  struct sigaction wake {}, previous {};
  wake.sa_handler = [](int) {};
  sigaction(SIGALRM, &wake, &previous);
  for (const auto& c : cases) {
    const fs::path ranking = folder_ / "tune.DAT";
    c.make(ranking);
    const auto before = fs::symlink_status(ranking).type();
    files::ResetRanking();
    files::DeriveRankingPath((folder_ / "tune.mid").c_str());
    alarm(5);
    files::ReadRankingFile();
    EXPECT_EQ(std::string(files::RankingText(), 10), c.readsAs) << c.what;
    SetFirstName("MINE");
    EXPECT_TRUE(files::WriteRankingFile()) << c.what;
    alarm(0);
    EXPECT_EQ(fs::symlink_status(ranking).type(), before) << c.what << " is left in place";
    EXPECT_EQ(test::ReadText(folder_ / "secret"), secret);
    if (c.what == std::string("a song")) {
      EXPECT_EQ(test::ReadText(ranking), song);
    }
    EXPECT_EQ(test::ReadText(files::KeptRankingPath()).substr(0, 4), "MINE") << c.what;
    EXPECT_TRUE(pt::Boxes().empty()) << c.what;
    fs::remove_all(ranking);
    fs::remove(files::KeptRankingPath());
  }
  sigaction(SIGALRM, &previous, nullptr);
}

// A song whose extension is DAT, in any case, would be its own ranking: its
// ranking lives in the user's data folder and the song is never touched.
TEST_F(RankingWrite, ASongNamedLikeARankingIsNeverItsOwnRanking) {
  for (const char* name : {"tune.DAT", "tune.dat"}) {
    const fs::path song = folder_ / name;
    const std::string bytes = "MThd" + std::string(22, '\0');
    std::ofstream(song, std::ios::binary) << bytes;
    files::ResetRanking();
    files::DeriveRankingPath(song.c_str());
    EXPECT_STREQ(files::RankingPath(), "") << name;
    files::ReadRankingFile();
    EXPECT_EQ(files::RankingScore(0), 500) << "the default table";
    SetFirstName("MINE");
    ASSERT_TRUE(files::WriteRankingFile());
    EXPECT_EQ(test::ReadText(song), bytes) << name;
    EXPECT_EQ(test::ReadText(files::KeptRankingPath()).substr(0, 4), "MINE");
    fs::remove(song);
  }
}

// A song path of 257 to 260 bytes whose ranking name would not fit beside
// it: the ranking is kept in the user's data folder, and read from there.
TEST_F(RankingWrite, ARankingNameTooLongForTheBufferIsKeptForTheUser) {
  std::string song = folder_.string() + "/";
  while (song.size() < 250) song += "f/";
  song += std::string(258 - song.size(), 'n');
  ASSERT_EQ(song.size(), 258u);
  fs::create_directories(fs::path(song).parent_path());
  files::DeriveRankingPath(song.c_str());
  SetFirstName("LONG");
  ASSERT_TRUE(files::WriteRankingFile());
  EXPECT_EQ(test::ReadText(files::KeptRankingPath()).substr(0, 4), "LONG");
  files::ResetRanking();
  files::DeriveRankingPath(song.c_str());
  files::ReadRankingFile();
  EXPECT_EQ(std::string(files::RankingText(), 4), "LONG");
}

// A write killed midway (here by the file size limit's signal) leaves no
// file behind; the temporary files of a write killed where the file system
// gave it a name are removed by the next write, and nothing else is.
TEST_F(RankingWrite, AKilledWriteLeavesNoFileBehind) {
  files::DeriveRankingPath((folder_ / "tune.mid").c_str());
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_DFL);
    const rlimit limit{40, 40};
    setrlimit(RLIMIT_FSIZE, &limit);
    files::WriteRankingFile();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the write was killed";
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1) << "only the placeholder";

  std::ofstream(folder_ / "tune.DAT.partial-Ab3xY9") << "stale";
  std::ofstream(folder_ / "tune.DAT.backup") << "the user's own";
  ASSERT_TRUE(files::WriteRankingFile());
  EXPECT_FALSE(fs::exists(folder_ / "tune.DAT.partial-Ab3xY9"));
  EXPECT_TRUE(fs::exists(folder_ / "tune.DAT.backup"));
}

// A new ranking gets the usual permissions; a replaced one keeps its own.
// The umask is read only by the system, never changed.
TEST_F(RankingWrite, ARankingKeepsItsPermissions) {
  files::DeriveRankingPath((folder_ / "tune.mid").c_str());
  const mode_t mask = umask(027);
  ASSERT_TRUE(files::WriteRankingFile());
  const auto mode = [&] { return fs::status(folder_ / "tune.DAT").permissions() & fs::perms::all; };
  EXPECT_EQ(mode(), static_cast<fs::perms>(0640));
  fs::permissions(folder_ / "tune.DAT", static_cast<fs::perms>(0600));
  ASSERT_TRUE(files::WriteRankingFile());
  EXPECT_EQ(mode(), static_cast<fs::perms>(0600));
  EXPECT_EQ(umask(mask), 027u);
}

// The rename that puts a new ranking in place lasts through a power loss
// only once the folder is flushed: seen in the system calls of a write.
TEST(RankingDurability, TheFolderIsFlushedAfterTheRename) {
  if (std::system("command -v strace >/dev/null") != 0) GTEST_SKIP() << "needs strace";
  const fs::path log = fs::path(test::WriteTempFile({}, "calls.txt"));
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  // The leak checker cannot run under a tracer.
  const std::string command = "ASAN_OPTIONS=detect_leaks=0 strace -f -y -qq -e trace=rename,renameat,renameat2,fsync -o " + log.string() + " " +
                              self + " --gtest_filter=RankingWrite.TheEightyBytesReplaceTheFile >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "strace cannot trace here";
  std::ifstream in(log);
  std::string line, folder;
  bool flushed = false;
  while (std::getline(in, line)) {
    const std::size_t at = line.find("/tune.DAT\"");
    if (line.find("rename") != std::string::npos && at != std::string::npos) {
      folder = line.substr(0, at);
      folder = folder.substr(folder.rfind('"') + 1);
      flushed = false;
    } else if (!folder.empty() && line.find("fsync(") != std::string::npos &&
               line.find("<" + folder + ">") != std::string::npos) {
      flushed = true;
    }
  }
  EXPECT_FALSE(folder.empty()) << "the new ranking is renamed into place";
  EXPECT_TRUE(flushed) << "then its folder is flushed";
}

}  // namespace
