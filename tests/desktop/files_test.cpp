// The real game's files: a ranking never replaces a song nor lands beside a
// file that failed to load, pictures beside the program are read only when
// they are regular files, and the files the game holds open are never
// handed to the programs it starts.
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "files/ranking.h"
#include "game_window.h"

namespace {

namespace fs = std::filesystem;
using test::RunCommand;
using test::WaitUntil;

const std::string kTwinkle = TONQUILL_SOURCE_DIR "/assets/songs/twinkle.mid";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every file in a folder tree with its bytes (a folder as "<folder>").
std::map<std::string, std::string> Contents(const fs::path& folder) {
  std::map<std::string, std::string> contents;
  if (!fs::exists(folder)) return contents;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    contents[fs::relative(entry.path(), folder).string()] = entry.is_directory() ? "<folder>" : ReadFile(entry.path());
  return contents;
}

class GameFiles : public test::GameWindowTest {
 protected:
  // RANK, then Delete (once the table is up) and Yes.
  void ClearTheRanking() {
    ClickButton(8);
    bool asked = false;
    for (int attempt = 0; attempt < 20 && !asked; ++attempt) {
      RunCommand("xdotool key --window " + window_ + " Delete");
      asked = !test::WaitForMessageBox(1).empty();
    }
    ASSERT_TRUE(asked) << "Delete asks before clearing";
    ASSERT_TRUE(AnswerMessage("Return")) << "Yes";
  }
  test::TemporaryFolder songs_, data_;
};

// A song named like a ranking (tune.DAT), a text chosen by mistake (its load
// fails and is told), and a window started without a song: RANK, Delete,
// Yes keeps the song whole and writes nothing beside the others; the one
// ranking written lies in the user's data folder.
TEST_F(GameFiles, ClearingTheRankingNeverTouchesTheSongsFolder) {
  const std::string song = ReadFile(kTwinkle);
  const struct {
    std::string name, bytes;
    bool fails;
    int rankingsKept;
  } cases[] = {
      {"tune.DAT", song, false, 1},
      {"notes.txt", "shopping: milk, eggs, a new keyboard\n", true, 0},
      {"-", "", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(data_.Path() + "/tonquill");
    const std::string path = c.name == "-" ? c.name : songs_.Path() + "/" + c.name;
    if (c.name != "-") std::ofstream(path, std::ios::binary) << c.bytes;
    StartGame(path, {"XDG_DATA_HOME=" + data_.Path()}, c.fails);
    if (HasFatalFailure()) return;
    ClearTheRanking();
    if (HasFatalFailure()) return;
    const std::string working = folder_;
    ASSERT_TRUE(Quit());
    if (c.name == "-") {
      EXPECT_FALSE(fs::exists(working + "/-.DAT"));
    } else {
      const auto contents = Contents(songs_.Path());
      EXPECT_EQ(contents.size(), 1u) << "nothing beside " << c.name;
      EXPECT_TRUE(contents.count(c.name) == 1 && contents.at(c.name) == c.bytes) << c.name << " is untouched";
      fs::remove(path);
    }
    const fs::path kept = data_.Path() + "/tonquill/rankings";
    const auto rankings = Contents(kept);
    ASSERT_EQ(rankings.size(), static_cast<std::size_t>(c.rankingsKept));
    if (c.rankingsKept > 0) {
      EXPECT_EQ(rankings.begin()->second, files::kDefaultRankingText);
    }
  }
}

// A picture named like the artwork beside the program that is no regular
// file (a pipe that never ends, a link to /dev/zero that never stops) is
// passed over: the game starts with the artwork built into it.
TEST_F(GameFiles, APictureBesideTheProgramThatIsNoFileIsPassedOver) {
  for (const char* kind : {"pipe", "endless"}) {
    SCOPED_TRACE(kind);
    test::TemporaryFolder installed;
    program_ = installed.Path() + "/tonquill";
    fs::copy_file(TONQUILL_BINARY_DIR "/tonquill", program_);
    const std::string picture = installed.Path() + "/BASC";
    if (kind == std::string("pipe")) ASSERT_EQ(mkfifo(picture.c_str(), 0600), 0);
    else fs::create_symlink("/dev/zero", picture);
    StartGame("-");
    if (HasFatalFailure()) return;  // a game stuck on its picture is not started again
    EXPECT_TRUE(test::WindowShowsTheArtwork(window_, width_, height_));
    ASSERT_TRUE(Quit());
  }
}

// The font files and the input log the game holds are close-on-exec: the
// file chooser and the message box helper never inherit them.
TEST_F(GameFiles, TheFilesTheGameHoldsAreClosedForItsChildren) {
  // The title panel draws the song's title with a font.
  ASSERT_NO_FATAL_FAILURE(StartGame(kTwinkle));
  ClickButton(5);  // PART: a click is a line in the input log
  ASSERT_GE(game_->WaitForInput("LeftDown", 10), 0);
  const std::string fds = "/proc/" + std::to_string(game_->Pid()) + "/fd";
  int fonts = 0, logs = 0;
  for (const auto& entry : fs::directory_iterator(fds)) {
    std::error_code error;
    const std::string target = fs::read_symlink(entry.path(), error).string();
    const std::string extension = fs::path(target).extension().string();
    const bool font = extension == ".ttf" || extension == ".ttc" || extension == ".otf";
    const bool log = target == folder_ + "/input.log";
    if (!font && !log) continue;
    (font ? fonts : logs) += 1;
    std::ifstream info("/proc/" + std::to_string(game_->Pid()) + "/fdinfo/" + entry.path().filename().string());
    std::string line;
    long flags = 0;
    while (std::getline(info, line))
      if (line.rfind("flags:", 0) == 0) flags = std::stol(line.substr(6), nullptr, 8);
    EXPECT_NE(flags & O_CLOEXEC, 0) << target;
  }
  EXPECT_GT(fonts, 0) << "a font is open";
  EXPECT_EQ(logs, 1) << "the input log is open";
}

}  // namespace
