// The FILE button and the ranking file: choosing a song in the (scripted)
// open dialog, loading it, and reading the ranking kept beside it.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/scenes.h"
#include "scene/scenes.h"
#include "files/open_dialog.h"
#include "files/ranking.h"
#include "files/song_file.h"
#include "game/controls.h"
#include "player/playback_clock.h"
#include "program_fixture.h"
#include "song/song_scan.h"
#include "song/song_store.h"

namespace {

namespace pt = platform::testing;
namespace fs = std::filesystem;
using test::Bytes;
using test::Track;

const std::string kBundled = TONQUILL_SOURCE_DIR "/assets/songs";

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class FileButton : public test::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    folder_ = fs::path(test::WriteTempFile({}, "placeholder")).parent_path();
  }
  void TearDown() override {
    ProgramTest::TearDown();
    fs::remove_all(folder_);
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const fs::path path = folder_ / name;
    fs::create_directories(path.parent_path());
    WriteFile(path, std::string(bytes.begin(), bytes.end()));
    return path;
  }
  void ChooseWithFile(std::optional<std::string> path) {
    pt::ScriptFileChoice(std::move(path));
    ClickButton(game::kButtonFile);
  }
  fs::path folder_;
};

std::vector<Track> ThreeFourSong(const std::string& title) {
  Track conductor, guide;
  conductor.Text(0, 3, title).TimeSignature(0, 3, 2).Tempo(0, 500000).End(2880);
  guide.Event(480, {0x90, 67, 90}).Event(480, {0x80, 67, 0}).End(0);
  return {conductor, guide};
}

TEST_F(FileButton, ChoosingASongLoadsItsTitleMeasuresAndRanking) {
  Start("-");
  pt::SetBundledSongsFolder(kBundled);
  const std::string song = Write("waltz.mid", test::SmfFile(ThreeFourSong("Little Waltz")));
  WriteFile(folder_ / "waltz.DAT", "ONE        0777 TWO        0666 ");
  const std::vector<draw::Pixel> emptyTitle = pt::LastFrame();
  ChooseWithFile(song);

  ASSERT_EQ(pt::OpenDialogs().size(), 1u);
  const pt::OpenDialogCall& dialog = pt::OpenDialogs()[0];
  EXPECT_EQ(dialog.startFolder, kBundled) << "no song yet: the bundled songs";
  ASSERT_EQ(dialog.filters.size(), 2u);
  EXPECT_EQ(dialog.filters[0].first, "MID Files (*.MID)");
  EXPECT_EQ(dialog.filters[1].first, "All Files (*.*)");

  EXPECT_TRUE(files::SongLoaded());
  EXPECT_STREQ(song::SongTitle(), "Little Waltz");
  EXPECT_EQ(song::MeasureFirstTick(1), 1440) << "3/4 at 480 ticks a quarter";
  EXPECT_EQ(files::RankingScore(0), 777);
  EXPECT_EQ(files::RankingScore(1), 666);
  EXPECT_EQ(files::RankingScore(2), 300);
  // The title panel changed (the title is drawn in black on its silver).
  bool titleDrawn = false;
  for (int x = 23; x < 200; ++x)
    for (int y = 96; y < 112; ++y) titleDrawn = titleDrawn || Shown(x, y) != emptyTitle[static_cast<std::size_t>(y * 640 + x)];
  EXPECT_TRUE(titleDrawn);

  ClickButton(game::kButtonDemo);
  PassUntil(platform::TimeMs() + 600);
  EXPECT_FALSE(NoteOns(TakeSent()).empty()) << "the guide plays in DEMO";

  // The next dialog starts in the current song's folder.
  ClickButton(game::kButtonStop);
  ChooseWithFile(std::nullopt);
  EXPECT_EQ(pt::OpenDialogs().back().startFolder, folder_.string());
}

TEST_F(FileButton, CancelChangesNothingAndTheButtonIsIgnoredWhilePlaying) {
  Start("-");
  const std::string song = Write("waltz.mid", test::SmfFile(ThreeFourSong("First")));
  ChooseWithFile(song);
  const std::vector<Bytes> before = {test::TrackBytes(0), test::TrackBytes(1)};
  ChooseWithFile(std::nullopt);
  EXPECT_STREQ(files::SongPath(), song.c_str());
  EXPECT_STREQ(song::SongTitle(), "First");
  EXPECT_EQ((std::vector<Bytes>{test::TrackBytes(0), test::TrackBytes(1)}), before) << "nothing was loaded";
  EXPECT_TRUE(pt::Boxes().empty());

  ClickButton(game::kButtonDemo);
  const std::size_t dialogs = pt::OpenDialogs().size();
  ClickButton(game::kButtonFile);
  EXPECT_EQ(pt::OpenDialogs().size(), dialogs);
}

// Only a regular file is read: a pipe would wait for a writer for ever (the
// alarm ends such a wait) and a symbolic link is not followed.
TEST_F(FileButton, FailedLoadsAreToldAndDoNotCountAsLoaded) {
  pt::SetSystemLanguageJapanese(false);
  Start("-");
  const std::string pipe = (folder_ / "pipe.mid").string(), link = (folder_ / "link.mid").string();
  mkfifo(pipe.c_str(), 0600);
  fs::create_symlink(Write("target.mid", test::SmfFile(ThreeFourSong("Behind a link"))), link);
  const struct {
    std::string path;
    std::string says;
    std::string reason;
  } cases[] = {
      {(folder_ / "missing.mid").string(), "The song file cannot be opened.", "(No such file or directory)"},
      {pipe, "The song file cannot be opened.", "(not a regular file: a pipe or a device)"},
      {link, "The song file cannot be opened.", "(a symbolic link, which is not followed)"},
      {Write("short.mid", Bytes(24, 'M')), "The song file is too short (24 bytes or fewer).", ""},
      {Write("25.mid", Bytes(25, 'M')), "This is not a Standard MIDI File (no header chunk).", ""},
      {Write("text.mid", Bytes(100, 'x')), "This is not a Standard MIDI File (no header chunk).", ""},
  };
  struct sigaction wake {}, previous {};
  wake.sa_handler = [](int) {};
  sigaction(SIGALRM, &wake, &previous);
  for (const auto& c : cases) {
    alarm(5);
    ChooseWithFile(c.path);
    alarm(0);
    ASSERT_FALSE(pt::Boxes().empty()) << c.path;
    EXPECT_EQ(pt::Boxes().back().text, c.says + "\n" + c.path + "\n" + (c.reason.empty() ? "" : c.reason + "\n"));
    EXPECT_FALSE(files::SongLoaded()) << c.path;
  }
  sigaction(SIGALRM, &previous, nullptr);
  ClickButton(game::kButtonDemo);
  EXPECT_EQ(player::PlayState(), player::kStopped) << "still no song to play";
  // A failure leaves nothing behind that would fail the next load.
  ChooseWithFile(Write("good.mid", test::SmfFile(ThreeFourSong("Good"))));
  EXPECT_TRUE(files::SongLoaded());
  EXPECT_STREQ(song::SongTitle(), "Good");
}

// A file that is not a song gets no ranking beside it: the previous song's
// ranking stays, and a window started without a song has none at all (not
// "-.DAT" in the working folder).
TEST_F(FileButton, AFailedLoadKeepsThePreviousRankingAndAddsNoFile) {
  const fs::path before = fs::current_path();
  fs::current_path(folder_);
  WriteFile(folder_ / "-.DAT", "DASH       0999 ");
  Start("-");
  EXPECT_STREQ(files::RankingPath(), "");
  EXPECT_EQ(files::RankingScore(0), 500) << "the default table, not -.DAT's";
  EXPECT_FALSE(files::WriteRankingFile());

  const std::string song = Write("waltz.mid", test::SmfFile(ThreeFourSong("Waltz")));
  WriteFile(folder_ / "waltz.DAT", "ONE        0777 ");
  ChooseWithFile(song);
  ChooseWithFile(Write("notes.txt", Bytes(100, 'x')));
  EXPECT_STREQ(files::RankingPath(), (folder_ / "waltz.DAT").c_str());
  EXPECT_EQ(files::RankingScore(0), 777);
  files::RestoreDefaultRankingText();
  EXPECT_TRUE(files::WriteRankingFile());
  fs::current_path(before);
  EXPECT_FALSE(fs::exists(folder_ / "notes.DAT"));
  EXPECT_EQ(test::ReadText(folder_ / "-.DAT"), "DASH       0999 ");
  EXPECT_EQ(test::ReadText(folder_ / "waltz.DAT"), files::kDefaultRankingText);
}

TEST_F(FileButton, MessagesAreJapaneseOnAJapaneseSystem) {
  pt::SetSystemLanguageJapanese(true);
  Start("-");
  ChooseWithFile((folder_ / "missing.mid").string());
  ASSERT_EQ(pt::Boxes().size(), 1u);
  EXPECT_EQ(pt::Boxes()[0].text.rfind("曲ファイルを開けません。", 0), 0u);
  EXPECT_NE(pt::Boxes()[0].text.find("ファイルがありません"), std::string::npos);
}

TEST_F(FileButton, APathLongerThanTheBufferIsRefusedNotCut) {
  Start("-");
  ChooseWithFile("/" + std::string(300, 'x') + ".mid");
  ASSERT_EQ(pt::Boxes().size(), 1u);
  EXPECT_EQ(pt::Boxes()[0].text.rfind("The path is too long (at most 260 bytes).", 0), 0u);
  EXPECT_STREQ(files::SongPath(), "") << "the path stays as it was";
  EXPECT_FALSE(files::SongLoaded());
}

TEST_F(FileButton, TheDialogIsTitledInTheSystemsLanguage) {
  for (const auto& [japanese, title] : {std::pair{true, "曲を開く"}, std::pair{false, "Open a song"}}) {
    test::ResetProgram(1);
    pt::SetSystemLanguageJapanese(japanese);
    Start("-");
    ChooseWithFile(std::nullopt);
    ASSERT_EQ(pt::OpenDialogs().size(), 1u);
    EXPECT_EQ(pt::OpenDialogs()[0].title, title);
  }
}

// A song a second copy of the game was started with.
TEST_F(FileButton, ASongFromASecondCopyStopsTheRunAndLoadsAsAChosenOne) {
  pt::SetSystemLanguageJapanese(false);
  Start("-");
  ChooseWithFile(Write("first.mid", test::SmfFile(ThreeFourSong("First"))));
  const std::string second = Write("second.mid", test::SmfFile(ThreeFourSong("Second")));
  WriteFile(folder_ / "second.DAT", "TWO        0555 ");
  ClickButton(game::kButtonDemo);
  ASSERT_EQ(player::PlayState(), player::kPlaying);
  const std::size_t dialogs = pt::OpenDialogs().size();

  pt::RequestSongFromSecondCopy(second);
  Pass();
  EXPECT_EQ(player::PlayState(), player::kStopped) << "the run stops first";
  Pass();
  EXPECT_STREQ(files::SongPath(), second.c_str());
  EXPECT_TRUE(files::SongLoaded());
  EXPECT_STREQ(song::SongTitle(), "Second");
  EXPECT_EQ(files::RankingScore(0), 555) << "with its ranking";
  EXPECT_EQ(pt::OpenDialogs().size(), dialogs) << "no dialog";
  EXPECT_TRUE(pt::Boxes().empty());

  // A song that cannot be loaded, or a path too long, is said as FILE says it.
  const struct {
    std::string path;
    std::string says;
  } failures[] = {
      {(folder_ / "missing.mid").string(), "The song file cannot be opened."},
      {"/" + std::string(300, 'x') + ".mid", "The path is too long (at most 260 bytes)."},
  };
  for (const auto& f : failures) {
    pt::RequestSongFromSecondCopy(f.path);
    Pass();
    ASSERT_FALSE(pt::Boxes().empty()) << f.path;
    EXPECT_EQ(pt::Boxes().back().text.rfind(f.says, 0), 0u) << pt::Boxes().back().text;
  }
}

TEST_F(FileButton, ASongFromASecondCopyWaitsForTheMainScreen) {
  Start("-");
  ChooseWithFile(Write("first.mid", test::SmfFile(ThreeFourSong("First"))));
  ClickButton(game::kButtonRank);
  for (int i = 0; i < 30; ++i) Pass();
  ASSERT_EQ(scene::SceneNumber(), scene::kSceneRanking);
  pt::RequestSongFromSecondCopy(Write("second.mid", test::SmfFile(ThreeFourSong("Second"))));
  for (int i = 0; i < 5; ++i) Pass();
  EXPECT_STREQ(song::SongTitle(), "First") << "not under the ranking it shows";
  pt::PushEvent({platform::EventKind::KeyDown, 0, 0, 0x20});  // Space: back to the main screen
  for (int i = 0; i < 30; ++i) Pass();
  ASSERT_EQ(scene::SceneNumber(), scene::kSceneMain);
  EXPECT_STREQ(song::SongTitle(), "Second");
}

TEST_F(FileButton, WithoutAChooserTheUserIsToldWhatToInstall) {
  Start("-");
  pt::SetFileChooserInstalled(false);
  ClickButton(game::kButtonFile);
  ASSERT_EQ(pt::Boxes().size(), 1u);
  EXPECT_EQ(pt::Boxes()[0].text, "No file chooser is installed. Please install this package:\nzenity\n");
}

// The ranking file of a song: its path, and what a short or odd file gives.
class RankingFile : public ::testing::Test {
 protected:
  void SetUp() override { files::ResetRanking(); }
};

TEST_F(RankingFile, EachSongHasItsOwnRankingPath) {
  const std::pair<const char*, const char*> cases[] = {
      {"/songs/tune.mid", "/songs/tune.DAT"},
      {"/home/me/my.files/tune.mid", "/home/me/my.files/tune.DAT"},
      {"/home/me/.hidden/tune.mid", "/home/me/.hidden/tune.DAT"},
      {"/songs/tune", "/songs/tune.DAT"},
      {"/songs/a.b.mid", "/songs/a.b.DAT"},
      {"tune.MID", "tune.DAT"},
      {"/songs/tune.DAT", ""},
      {"/songs/tune.dat", ""},
  };
  for (const auto& [song, ranking] : cases) {
    files::DeriveRankingPath(song);
    EXPECT_STREQ(files::RankingPath(), ranking) << song;
  }
  files::DeriveRankingPath(("/" + std::string(257, 'x')).c_str());
  EXPECT_STREQ(files::RankingPath(), "") << "a path that would not fit gets no ranking file beside the song";
}

TEST_F(RankingFile, AShortFileLeavesTheDefaultBehindAndOddDigitsCountZero) {
  const std::string path = test::WriteTempFile({}, "tune.DAT");
  // 40 bytes: records 0 and 1, and the first 8 bytes of record 2.
  WriteFile(path, "ANN        0900 BOB       0 5x3 CARLOTTA");
  files::DeriveRankingPath((path.substr(0, path.size() - 3) + "mid").c_str());
  files::ReadRankingFile();
  EXPECT_EQ(std::string(files::RankingText(), 48),
            "ANN        0900 BOB       0 5x3 CARLOTTA   0300 ");
  EXPECT_EQ(files::RankingScore(0), 900);
  EXPECT_EQ(files::RankingScore(1), 503) << "the space and the letter count 0";
  EXPECT_EQ(files::RankingScore(2), 300);
  EXPECT_EQ(files::RankingScore(3), 200);
  EXPECT_EQ(files::RankingScore(4), 100);
  fs::remove_all(fs::path(path).parent_path());
}

TEST_F(RankingFile, AnyBytesAndAnyLengthAreRead) {
  const std::string path = test::WriteTempFile({}, "tune.DAT");
  std::string odd(200, '\0');
  for (std::size_t i = 0; i < odd.size(); ++i) odd[i] = static_cast<char>(i * 37);
  WriteFile(path, odd);
  files::DeriveRankingPath((path.substr(0, path.size() - 3) + "mid").c_str());
  files::ReadRankingFile();
  EXPECT_EQ(std::string(files::RankingText(), 80), odd.substr(0, 80));
  EXPECT_EQ(files::RankingText()[80], '\0');
  fs::remove_all(fs::path(path).parent_path());
}

}  // namespace
