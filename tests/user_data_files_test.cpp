// What the game keeps in the user's data folder: a name that belongs to one
// song alone, folders and files for the user's eyes only, the newest
// megabyte of a long history, dates west of UTC, a part's own kept ranking,
// and the leftovers of a killed write cleared when the song loads.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "files/game_history.h"
#include "files/kept_file_name.h"
#include "files/load_song.h"
#include "files/ranking.h"
#include "files/sha256.h"
#include "files/song_file.h"
#include "smf_builder.h"
#include "song/song_parts.h"

namespace {

namespace fs = std::filesystem;
using test::Track;

// '%' as "%25" and '/' as "%2F": a name no cut is made to.
std::string WholeName(const std::string& path) {
  std::string name;
  for (char c : path) name += c == '%' ? std::string("%25") : c == '/' ? std::string("%2F") : std::string(1, c);
  return name;
}

// "%2F" and "%25" read back; anything else stays as it stands.
std::string PathOfName(const std::string& name) {
  std::string path;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name.compare(i, 3, "%2F") == 0) path += '/', i += 2;
    else if (name.compare(i, 3, "%25") == 0) path += '%', i += 2;
    else path += name[i];
  }
  return path;
}

// The name a kept file of a long path had before: its last 183 letters,
// '-' and the FNV-1a hash of the path.
std::string EarlierCutName(const std::string& path, const char* extension) {
  std::uint64_t hash = 14695981039346656037u;
  for (char c : path) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  const std::string whole = WholeName(path);
  return whole.substr(whole.size() - 183) + "-" + hex + extension;
}

// A fresh folder, with the user's data folder inside it, for each test.
class UserData : public ::testing::Test {
 protected:
  void SetUp() override {
    test::FreshStore();
    files::ResetRanking();
    folder_ = fs::path(test::WriteTempFile({}, "placeholder")).parent_path();
    fs::remove(folder_ / "placeholder");
    const char* old = std::getenv("XDG_DATA_HOME");
    hadDataHome_ = old != nullptr;
    oldDataHome_ = hadDataHome_ ? old : "";
    setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
  }
  void TearDown() override {
    if (hadDataHome_) setenv("XDG_DATA_HOME", oldDataHome_.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
    fs::remove_all(folder_);
  }
  std::string Kept(const char* subfolder, const std::string& name) const {
    return (folder_ / "data" / "tonquill" / subfolder / name).string();
  }
  static void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
  // Writes and loads a song of three parts, t1 to t3 (t2 the default);
  // the path of its ranking kept in the user's data folder.
  std::string LoadThreeParts(const char* name) {
    std::vector<Track> tracks(3);
    for (std::uint8_t t = 0; t < 3; ++t)
      tracks[t].Event(0, {std::uint8_t(0x90 + t), 60, 90}).Event(480, {std::uint8_t(0x80 + t), 60, 0}).End(0);
    const test::Bytes image = test::SmfFile(tracks);
    const fs::path song = folder_ / name;
    Write(song, std::string(image.begin(), image.end()));
    EXPECT_TRUE(files::SetSongPath(song.c_str()));
    EXPECT_EQ(files::LoadSongAndRanking(false), files::LoadResult::Installed);
    return Kept("rankings", WholeName(fs::canonical(song).string()) + ".DAT");
  }
  static unsigned Mode(const fs::path& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 01;
  }

  fs::path folder_;
  std::string oldDataHome_;
  bool hadDataHome_ = false;
};

TEST(Sha256, DigestsOfKnownTexts) {
  const struct {
    std::string text;
    const char* digest;  // as sha256sum gives it
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},  // one block
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},  // the length spills into a second
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {std::string(119, 'a'), "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.size());
    EXPECT_EQ(files::Sha256Hex(c.text), c.digest);
  }
}

// A cut name never reads as another song's whole one, two long paths that
// end alike keep apart, and a path through a link names the song the link
// leads to, not the one its letters spell.
TEST_F(UserData, AKeptNameBelongsToOneSongAlone) {
  const std::string tail = "/" + std::string(240, 'n') + ".mid";
  for (const std::string& longPath : {"/one" + tail, "/one/a%b" + tail}) {
    SCOPED_TRACE(longPath);
    const std::string cut = files::KeptFileName(longPath, ".DAT");
    EXPECT_LE(cut.size(), 204u) << "room for a part's ID in 255 bytes";
    EXPECT_EQ(cut.substr(cut.size() - 42, 6), ".mid%-") << "the end is kept, then the mark";
    EXPECT_NE(files::KeptFileName(PathOfName(cut.substr(0, cut.size() - 4)), ".DAT"), cut)
        << "a song named after the cut name";
    EXPECT_NE(files::KeptFileName("/two" + tail, ".DAT"), cut);
  }
  EXPECT_EQ(files::KeptFileName("/a%b/x.mid", ".DAT"), "%2Fa%25b%2Fx.mid.DAT");

  fs::create_directories(folder_ / "a");
  fs::create_directories(folder_ / "b" / "sub");
  fs::create_directory_symlink(folder_ / "b" / "sub", folder_ / "a" / "link");
  Write(folder_ / "a" / "x.mid", "a");
  Write(folder_ / "b" / "x.mid", "b");
  const std::string throughLink = (folder_ / "a" / "link" / ".." / "x.mid").string();
  const std::string real = (folder_ / "b" / "x.mid").string();
  EXPECT_EQ(files::HistoryPath(throughLink.c_str()), Kept("history", WholeName(fs::canonical(real).string()) + ".txt"));
  EXPECT_NE(files::HistoryPath(throughLink.c_str()), files::HistoryPath((folder_ / "a" / "x.mid").c_str()));
}

// A file kept under the name a song had before is still its own: a long
// path's old cut name, or the name of the path through a link that leads
// to the song. A name that now belongs to another song is not taken, and
// the new name wins once it holds a file.
TEST_F(UserData, FilesUnderTheNamesOfBeforeAreStillFound) {
  fs::create_directories(folder_ / "real" / std::string(200, 'd'));
  fs::create_directory_symlink(folder_ / "real", folder_ / "link");
  fs::create_directories(folder_ / "a");
  fs::create_directory_symlink(folder_ / "real" / std::string(200, 'd'), folder_ / "a" / "in");
  const std::string longSong = (folder_ / "real" / std::string(200, 'd') / "tune.mid").string();
  const std::string viaLink = (folder_ / "link" / "x.mid").string();
  Write(longSong, "song");
  Write(folder_ / "real" / "x.mid", "song");
  Write(folder_ / "a" / "x.mid", "song");
  const struct {
    const char* what;
    std::string song;
    std::string before;  // the name the file was kept under
    bool found;
  } cases[] = {
      {"a long path's cut name", longSong, EarlierCutName(longSong, ".DAT"), true},
      {"a path through a link", viaLink, WholeName(viaLink) + ".DAT", true},
      {"another song's name", (folder_ / "a" / "in" / ".." / "x.mid").string(),
       WholeName((folder_ / "a" / "x.mid").string()) + ".DAT", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::create_directories(Kept("rankings", ""));
    Write(Kept("rankings", c.before), "BEFORE     0900 ");
    files::ResetRanking();
    files::DeriveRankingPath(c.song.c_str());
    EXPECT_EQ(files::KeptRankingPath() == Kept("rankings", c.before), c.found) << files::KeptRankingPath();
    const std::string now = Kept("rankings", files::KeptFileName(fs::canonical(c.song).string(), ".DAT"));
    if (c.found) {
      Write(now, "NOW        0800 ");
      files::DeriveRankingPath(c.song.c_str());
    }
    EXPECT_EQ(files::KeptRankingPath(), now) << "the new name, once it holds a file";
    fs::remove_all(Kept("rankings", ""));
  }
}

// Folders the game makes in the user's data folder (and the missing ones
// above it) are the user's alone, and so are the files it makes there,
// whatever the umask; what was there before keeps its permissions.
TEST_F(UserData, WhatTheGameMakesThereIsTheUsersAlone) {
  for (const mode_t mask : {0000, 0022}) {
    SCOPED_TRACE(mask);
    const fs::path home = folder_ / "home";
    setenv("XDG_DATA_HOME", (home / "share").c_str(), 1);
    const mode_t saved = umask(mask);
    files::ResetRanking();
    files::DeriveRankingPath("/sys/tune.mid");  // a folder that takes no files: kept
    const bool rankingWritten = files::WriteRankingFile();
    int errorNumber = 0;
    const std::string history = files::HistoryPath("/sys/tune.mid");
    const bool historyWritten = files::AppendToHistory(history, {"2026-12-08T18:30:05+0100", "t2"}, errorNumber);
    umask(saved);
    ASSERT_TRUE(rankingWritten && historyWritten);
    for (const fs::path& made : {home, home / "share", home / "share" / "tonquill", home / "share" / "tonquill" / "rankings",
                                 home / "share" / "tonquill" / "history"})
      EXPECT_EQ(Mode(made), 0700u) << made;
    EXPECT_EQ(Mode(files::KeptRankingPath()), 0600u);
    EXPECT_EQ(Mode(history), 0600u);

    for (const std::string& kept : {files::KeptRankingPath(), history}) {
      chmod(fs::path(kept).parent_path().c_str(), 0755);
      chmod(kept.c_str(), 0644);
    }
    ASSERT_TRUE(files::WriteRankingFile());
    ASSERT_TRUE(files::AppendToHistory(history, {"2026-12-08T18:30:05+0100", "t2"}, errorNumber));
    for (const std::string& kept : {files::KeptRankingPath(), history}) {
      EXPECT_EQ(Mode(fs::path(kept).parent_path()), 0755u) << kept;
      EXPECT_EQ(Mode(kept), 0644u) << kept;
    }
    fs::remove_all(home);
  }
}

// Lines of 128 bytes: 8192 of them fill the megabyte read of a long
// history. A cut at a line's start keeps that line; a cut inside one drops
// it.
TEST_F(UserData, TheNewestMegabyteOfAHistoryReadsEveryWholeLineInIt) {
  const std::string line =
      "2026-12-08T18:30:05-0330 part " + std::string(32, 'p') + " speed 100 score 955 good 950000 late 3 fast 2 mean -12 spread 20\n";
  ASSERT_EQ(line.size(), 128u);
  const struct {
    int lines;
    std::string after;  // what a write cut short left at the end
    std::size_t read;
  } cases[] = {
      {8192, "", 8192},                     // the whole file is the megabyte
      {8200, "", 8192},                     // it begins at a line's start
      {8200, "2026", 8191},                 // 4 bytes into a line
      {8200, std::string(127, 'x'), 8191},  // at a line's break: whole lines follow
  };
  const fs::path path = folder_ / "history.txt";
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.lines) + " lines and " + std::to_string(c.after.size()) + " bytes");
    {
      std::ofstream out(path, std::ios::binary);
      for (int i = 0; i < c.lines; ++i) out << line;
      out << c.after;
    }
    EXPECT_EQ(files::ReadHistory(path.string()).size(), c.read);
  }
}

// The date and time in local time with the zone's offset, east or west of
// UTC and by the half hour, read back as written.
TEST(GameHistoryDates, LocalTimeWithItsOffsetWestAndEastOfUtc) {
  const char* old = std::getenv("TZ");
  const std::string saved = old != nullptr ? old : "";
  const struct {
    const char* zone;  // POSIX: hours to add to local time for UTC
    int offsetSeconds;
    const char* offset;
  } cases[] = {
      {"UTC0", 0, "+0000"},
      {"EST5", -5 * 3600, "-0500"},
      {"<-0330>3:30", -(3 * 3600 + 1800), "-0330"},
      {"<-1100>11", -11 * 3600, "-1100"},
      {"<+0545>-5:45", 5 * 3600 + 45 * 60, "+0545"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.zone);
    setenv("TZ", c.zone, 1);
    tzset();
    const std::time_t before = std::time(nullptr);
    const std::string when = files::LocalDateTimeNow();
    const std::time_t after = std::time(nullptr);
    bool matches = false;
    for (std::time_t t = before; t <= after; ++t) {
      const std::time_t shifted = t + c.offsetSeconds;
      std::tm clock{};
      gmtime_r(&shifted, &clock);
      char expected[32];
      std::strftime(expected, sizeof expected, "%Y-%m-%dT%H:%M:%S", &clock);
      matches = matches || when == std::string(expected) + c.offset;
    }
    EXPECT_TRUE(matches) << when;
    files::GameRecord read;
    const std::string line = files::HistoryLine({when, "t2"});
    ASSERT_TRUE(files::ParseHistoryLine(std::string_view(line).substr(0, line.size() - 1), read)) << line;
    EXPECT_EQ(read.when, when);
  }
  if (old != nullptr) setenv("TZ", saved.c_str(), 1);
  else unsetenv("TZ");
  tzset();
}

// Two parts of a song whose extension is DAT: both rankings are kept in the
// user's data folder, each under its own name, and each part reads its own.
TEST_F(UserData, APartsRankingKeptForTheUserIsItsOwn) {
  const std::string base = LoadThreeParts("tune.dat");
  ASSERT_EQ(song::Part(song::DefaultPart()).id, "t2");
  for (const char* id : {"t3", "t2"}) {
    song::ChoosePart(song::FindPart(id));
    files::ReadSongRanking();
    std::memcpy(files::RankingText(), id, 2);
    ASSERT_TRUE(files::WriteRankingFile());
  }
  EXPECT_EQ(test::ReadText(base).substr(0, 2), "t2");
  EXPECT_EQ(test::ReadText(base + ".t3").substr(0, 2), "t3");
  song::ChoosePart(song::FindPart("t3"));
  files::ReadSongRanking();
  EXPECT_EQ(std::string(files::RankingText(), 2), "t3");
}

// A write killed between naming its new file and the rename leaves it
// beside the ranking; loading the song removes those of its own rankings,
// beside it and in the user's data folder, and nothing else.
TEST_F(UserData, LoadingASongRemovesItsKilledWritesLeftovers) {
  const std::string kept = Kept("rankings", WholeName((fs::canonical(folder_) / "tune.mid").string()) + ".DAT");
  fs::create_directories(fs::path(kept).parent_path());
  const std::vector<std::string> removed = {(folder_ / "tune.DAT.partial-Ab3xY9").string(),
                                            (folder_ / "tune.DAT.t3.partial-000000").string(), kept + ".partial-zzzzzz",
                                            kept + ".t2.partial-QQQQQQ"};
  const std::vector<std::string> left = {
      (folder_ / "tune.DAT.backup").string(),            // the user's own
      (folder_ / "tune.DAT.partial-Ab3").string(),       // not a write's name
      (folder_ / "tune.DAT.t9.partial-abcdef").string(),  // no part of this song
      (folder_ / "other.DAT.partial-abcdef").string(),    // another song's
      (folder_ / "tune.DAT.mid.partial-abcdef").string(),
  };
  for (const std::string& path : removed) Write(path, "stale");
  for (const std::string& path : left) Write(path, "kept");
  fs::create_directory(folder_ / "tune.DAT.partial-folder");
  ASSERT_EQ(LoadThreeParts("tune.mid"), kept);
  for (const std::string& path : removed) EXPECT_FALSE(fs::exists(path)) << path;
  for (const std::string& path : left) EXPECT_TRUE(fs::exists(path)) << path;
  EXPECT_TRUE(fs::is_directory(folder_ / "tune.DAT.partial-folder")) << "only files are removed";
}

}  // namespace
