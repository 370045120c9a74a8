// What the screens show of the song and the part played: a part that ends
// long before its song, the song's title (its file's name when it has
// none), a new song's clean panels, and the part and the speed on the
// score screens.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/song_file.h"
#include "game/computer_keyboard.h"
#include "game/controls.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/part_over.h"
#include "game/statistics_look.h"
#include "game/statistics_scene.h"
#include "platform/virtual_keys.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "player/run_step.h"
#include "program_fixture.h"
#include "scene/scenes.h"
#include "song/song_parts.h"
#include "song/song_scan.h"

namespace {

namespace fs = std::filesystem;
namespace pt = platform::testing;
using test::Bytes;
using test::Track;

class SongScreens : public test::ProgramTest {
 protected:
  std::string Write(const std::string& name, const std::vector<Track>& tracks) {
    const fs::path path = SongFolder() / name;
    const Bytes bytes = test::SmfFile(tracks);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return path.string();
  }
  void Load(const std::string& path) {
    pt::ScriptFileChoice(path);
    ClickButton(game::kButtonFile);
  }
  // Presses the guide's key at each halt until the guide has ended.
  void PlayTheGuide() {
    for (int frame = 0; frame < 2000 && !player::GuideOver(); ++frame) {
      if (player::HaltedAtGuide()) Tap(game::kNoteKeys[player::GuideNote() - 60]);
      Pass();
    }
  }
  // Whether a colour shows anywhere in a rectangle of the last frame.
  static bool Shows(draw::Pixel colour, int left, int top, int right, int bottom) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if (Shown(x, y) == colour) return true;
    return false;
  }
  // A key typed as the score screens read it (its press, not its state).
  void Type(int key) {
    pt::PushEvent({platform::EventKind::KeyDown, 0, 0, key});
    Pass();
    pt::PushEvent({platform::EventKind::KeyUp, 0, 0, key});
    Pass();
  }
  static std::string Crop(int left, int top, int right, int bottom) {
    std::string pixels;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) pixels += std::to_string(Shown(x, y)) + ",";
    return pixels;
  }
};

// The part (C and D in the first second) is over long before the song (ten
// seconds, a lyric at five): in a game the lyric bar says so from then on,
// lyrics notwithstanding, and Space ends the game as the song's end does
// (the real-time stop sent); stop ends it too. TRAINING says nothing, and
// there Space only stops, as the stop button does.
TEST_F(SongScreens, APartOverLongBeforeItsSongEndsTheGameOnSpace) {
  Track conductor, part, rest;
  conductor.Tempo(0, 500000).End(9600);
  part.Event(480, {0x90, 60, 90}).Event(240, {0x80, 60, 0}).Event(240, {0x90, 62, 90}).Event(240, {0x80, 62, 0}).End(0);
  rest.Text(4800, 0x05, "la la").Event(4000, {0x92, 48, 90}).Event(240, {0x82, 48, 0}).End(0);
  const std::string song = Write("short_part.mid", {conductor, part, rest});
  const struct {
    const char* how;
    int button;
  } cases[] = {{"Space", game::kButtonGame}, {"stop", game::kButtonGame}, {"none", game::kButtonTraining}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    test::ResetProgram(1);
    Start(song);
    ClickButton(c.button);
    PlayTheGuide();
    const std::uint32_t partOver = platform::TimeMs();
    PassUntil(partOver + 100);
    const bool game = c.button == game::kButtonGame;
    EXPECT_EQ(game::LyricBarText(), game ? std::string(game::kPartOverNotice.english) : std::string());
    PassUntil(partOver + 5000);
    EXPECT_STREQ(player::LyricBuffer(), "la la") << "the lyric came";
    EXPECT_EQ(game::LyricBarText(), game ? std::string(game::kPartOverNotice.english) : std::string()) << "and left the notice";
    TakeSent();
    if (std::string(c.how) == "stop") ClickButton(game::kButtonStop);
    else Tap(platform::vk::kSpace);
    const std::vector<Bytes> sent = TakeSent();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), Bytes{0xFC}), std::string(c.how) == "Space" ? 1 : 0);
    if (game) {
      EXPECT_EQ(scene::NextScene(), scene::kSceneStatistics);
    } else {
      EXPECT_EQ(player::PlayState(), player::kStopped) << "Space is the stop button's key: no end of the song";
    }
  }
}

// A song without a title (its first title event empty or of spaces) shows
// its file's name without the extension; a karaoke file's "@T" tag is no
// part of its title, and its other header lines are passed over. A new song shows no verdict
// and no score of a game played before it.
TEST_F(SongScreens, TitlesAndTheCleanPanelsOfANewSong) {
  Start();
  const struct {
    const char* file;
    std::vector<std::pair<int, std::string>> texts;  // (meta type, text) at tick 0 of track 1
    const char* title;                               // the song's title (" " without a title event)
    const char* shown;                               // what the panel shows
  } cases[] = {
      {"plain.mid", {{3, "Plain title"}}, "Plain title", "Plain title"},
      {"No Title.mid", {}, " ", "No Title"},
      {"spaces.mid", {{3, "   "}}, "   ", "spaces"},
      {"karaoke.kar", {{1, "@KMIDI KARAOKE FILE"}, {1, "@TYesterday"}}, "Yesterday", "Yesterday"},
      {"empty first.mid", {{1, ""}, {3, "Named"}}, "", "empty first"},
      {"header only.kar", {{1, "@KMIDI KARAOKE FILE"}, {1, "@V0100"}}, " ", "header only"},
  };
  Track guide;
  guide.Event(480, {0x90, 60, 90}).Event(240, {0x80, 60, 0}).End(0);
  const auto titled = [&](const std::vector<std::pair<int, std::string>>& texts) {
    Track conductor;
    for (const auto& [type, text] : texts) conductor.Text(0, static_cast<std::uint8_t>(type), text);
    conductor.Tempo(0, 500000).End(1920);
    return std::vector<Track>{conductor, guide};
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Load(Write(c.file, titled(c.texts)));
    EXPECT_STREQ(song::SongTitle(), c.title);
    const std::string panel = Crop(15, 94, 625, 112);
    Load(Write(std::string("reference ") + c.file, titled({{3, c.shown}})));
    EXPECT_TRUE(panel == Crop(15, 94, 625, 112)) << "shows what a song titled \"" << c.shown << "\" shows";
  }

  // A game stopped after its first note.
  Track twoNotes = guide;
  twoNotes.data.clear();
  twoNotes.Event(480, {0x90, 60, 90}).Event(240, {0x80, 60, 0}).Event(240, {0x90, 62, 90}).Event(240, {0x80, 62, 0}).End(0);
  Load(Write("two notes.mid", {titled({})[0], twoNotes}));
  ClickButton(game::kButtonGame);
  for (int i = 0; i < 100 && !player::HaltedAtGuide(); ++i) Pass();
  Tap(game::kNoteKeys[0]);
  ClickButton(game::kButtonStop);
  ASSERT_FALSE(ShowsArtwork(320, 120, {320, 120, 432, 160})) << "a verdict shows";
  ASSERT_FALSE(ShowsArtwork(536, 120, game::BigDigit(0))) << "a score shows";
  Load(Write("next.mid", titled({{3, "Next"}})));
  EXPECT_TRUE(ShowsArtwork(320, 120, {320, 120, 432, 160})) << "no verdict";
  for (const int x : {480, 508, 536, 580}) EXPECT_TRUE(ShowsArtwork(x, 120, game::BigDigit(0))) << x;
}

// The statistics say which part was played at which speed (a slowed game
// in amber, with the reason it is not ranked under the plot); the ranking
// says whose part it is.
TEST_F(SongScreens, TheScoreScreensSayWhichPartAndSpeed) {
  Track conductor, first, second;
  conductor.Tempo(0, 500000).End(1920);
  first.Text(0, 3, "First").Event(0, {0x91, 72, 90}).Event(480, {0x81, 72, 0}).End(0);
  second.Text(0, 3, "Second").Event(0, {0x92, 76, 90}).Event(480, {0x82, 76, 0}).End(0);
  Start(Write("two_parts.mid", {conductor, first, second}));
  const draw::Pixel amber = draw::RgbToPixel(game::kLitAmber), blue = draw::RgbToPixel(game::kLabelBlue);
  std::string partRows[2];
  for (const int speed : {100, 80}) {
    for (const int part : {0, 1}) {
      SCOPED_TRACE(std::to_string(speed) + " part " + std::to_string(part));
      song::ChoosePart(part);
      player::SetPlaybackSpeedPercent(speed);
      game::BeginGameStatistics(scene::kSceneMain);
      for (int i = 0; i < 24; ++i) Pass();
      ASSERT_EQ(scene::SceneNumber(), scene::kSceneStatistics);
      EXPECT_EQ(Shows(amber, 400, 107, 624, 123), speed != 100) << "the speed";
      EXPECT_EQ(Shows(amber, 56, 308, 624, 320), speed != 100) << "why it is not ranked";
      const std::string row = Crop(400, 107, 624, 123);
      if (speed == 100) partRows[part] = row;
      Type(platform::vk::kSpace);
      for (int i = 0; i < 24; ++i) Pass();
    }
  }
  EXPECT_TRUE(partRows[0] != partRows[1]) << "each part's own name";
  player::SetPlaybackSpeedPercent(100);
  ClickButton(game::kButtonRank);
  for (int i = 0; i < 24; ++i) Pass();
  ASSERT_EQ(scene::SceneNumber(), scene::kSceneRanking);
  EXPECT_TRUE(Shows(blue, 0, 66, 640, 82)) << "the part under the heading";
}

}  // namespace
