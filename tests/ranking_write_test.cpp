// Writing the ranking file: whole or not at all, told when it fails, and
// kept in the user's data folder when the song's folder takes no files.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

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

TEST_F(RankingWrite, TheEightyBytesReplaceTheFile) {
  files::DeriveRankingPath((folder_ / "tune.mid").c_str());
  std::ofstream(folder_ / "tune.DAT") << "an older, longer ranking file that must be replaced whole";
  SetFirstName("NEW");
  ASSERT_TRUE(files::WriteRankingFile());
  const std::string written = test::ReadText(folder_ / "tune.DAT");
  EXPECT_EQ(written.size(), 80u);
  EXPECT_EQ(written.substr(0, 16), "NEW        0500 ");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2) << "no temporary file is left";
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

TEST_F(RankingWrite, NoRankingPathWritesNothing) {
  files::DeriveRankingPath("");
  EXPECT_TRUE(files::WriteRankingFile());
  EXPECT_FALSE(fs::exists(folder_ / "data"));
  EXPECT_TRUE(pt::Boxes().empty());
}

}  // namespace
