// The notes-ahead lane in the program's own frames (tonquill-trace
// --snapshot). The song: division 480 at 120 bpm in 4/4, so the lane holds
// two measures, 3840 ticks, in its 96 rows: 40 ticks a row, 12 rows a
// beat. The position t ms after the start is 480 x t / 500 (truncated). A
// bar's front lies (ticks ahead) / 40 rows above the keys' edge, row 360.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <sstream>
#include <string>

#include "draw/bmp.h"
#include "files/settings.h"
#include "program_fixture.h"
#include "smf_builder.h"

namespace {

using test::Bytes;
using test::Track;

constexpr int kKeysEdge = 360;
constexpr int kLaneTop = 264;
constexpr int kTicksPerRow = 40;
// The middle of the lane's column of keys 0 (C), 4 (E), 7 (G) and 12 (C an
// octave up): white keys 0, 2, 4 and 7, each 52 wide from x = 8.
constexpr int kColumnC = 8 + 21;
constexpr int kColumnE = 8 + 2 * 52 + 26;
constexpr int kColumnG = 8 + 4 * 52 + 26;
constexpr int kColumnHighC = 8 + 7 * 52 + 21;

// As the testing screen keeps a colour (5, 6 and 5 bits).
std::uint32_t Shown(std::uint32_t rgb) { return rgb & 0xF8FCF8; }
const std::uint32_t kLane = Shown(0x121A2A);
const std::uint32_t kMeasureLine = Shown(0x34405A);
const std::uint32_t kNext = Shown(0xF7A83A);
const std::uint32_t kLate = Shown(0xE5533F);
const std::uint32_t kArrow = Shown(0x8E1E1E);

// C held two beats at tick 1920, the chord E G at 3840, and at 5760 a C
// three octaves up, which the keys play an octave lower than it sounds.
Bytes LaneSong() {
  return test::SmfFile({Track().End(7680), Track()
                                               .Event(1920, {0x90, 60, 100})
                                               .Event(960, {0x80, 60, 0})
                                               .Event(960, {0x90, 64, 100})
                                               .Event(0, {0x90, 67, 100})
                                               .Event(480, {0x80, 64, 0})
                                               .Event(0, {0x80, 67, 0})
                                               .Event(1440, {0x90, 96, 100})
                                               .Event(480, {0x80, 96, 0})
                                               .End(0)});
}

// The same lane at 120 bpm with the tempo halved at tick 960 (1000 ms),
// and one C at tick 1920 held a beat.
Bytes TempoChangeSong() {
  return test::SmfFile({Track().Tempo(960, 1000000).End(6720),
                        Track().Event(1920, {0x90, 60, 100}).Event(480, {0x80, 60, 0}).End(0)});
}

struct Frame {
  draw::Bitmap picture;
  int at = -1;  // the simulated time of the frame written
  std::uint32_t Pixel(int x, int y) const { return picture.rgb[static_cast<std::size_t>(y * picture.width + x)]; }
  bool Empty(int x, int y) const { return Pixel(x, y) == kLane || Pixel(x, y) == kMeasureLine; }
  // The lowest bar in the lane's column x: its top and bottom rows (bottom
  // past the last), or {0, 0} when the column shows only the lane.
  std::pair<int, int> LowestBar(int x) const {
    int bottom = kKeysEdge;
    while (bottom > kLaneTop && Empty(x, bottom - 1)) --bottom;
    int top = bottom;
    while (top > kLaneTop && !Empty(x, top - 1)) --top;
    return bottom == kLaneTop ? std::pair{0, 0} : std::pair{top, bottom};
  }
};

// The frames at `times` of a trace of the lane song with the notes ahead on.
std::vector<Frame> Snapshots(const std::string& options, const std::vector<int>& times, const Bytes& songBytes = LaneSong()) {
  const std::string song = test::WriteTempFile(songBytes, "lane.mid");
  const std::string folder = song.substr(0, song.rfind('/'));
  std::string command = std::string(TONQUILL_TRACE) + " --frame-ms 10 --view ahead " + options;
  for (int t : times) command += " --snapshot " + std::to_string(t) + ":" + folder + "/at" + std::to_string(t) + ".bmp";
  int status = -1;
  std::istringstream lines(test::CommandOutput(command + " " + song, &status));
  EXPECT_EQ(status, 0);
  std::vector<Frame> frames(times.size());
  for (std::string line; std::getline(lines, line);) {
    int at = 0;
    char path[512] = {};
    if (std::sscanf(line.c_str(), "# snapshot %d %511s", &at, path) != 2) continue;
    for (std::size_t i = 0; i < times.size(); ++i)
      if (std::string(path) == folder + "/at" + std::to_string(times[i]) + ".bmp") {
        const Bytes bytes = test::ReadFile(path);
        EXPECT_TRUE(draw::DecodeBmp({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, frames[i].picture));
        frames[i].at = at;
      }
  }
  for (const Frame& frame : frames) EXPECT_EQ(frame.picture.width, 640);
  return frames;
}

int FrontRow(int ticksAhead) { return kKeysEdge - ticksAhead / kTicksPerRow; }

TEST(NotesAhead, BarsFallOntoTheirKeysInStepWithTheSong) {
  // DEMO at full speed at 0, 1500 and 2000 ms, and at half speed at 3000 ms.
  const std::vector<Frame> full = Snapshots("", {0, 1500, 2000});
  ASSERT_EQ(full.size(), 3u);
  const std::vector<Frame> half = Snapshots("--speed 50", {3000});
  // Halved tempo from 1000 ms: at 2000 ms the position is 960 + 480, not 1920.
  const std::vector<Frame> slowed = Snapshots("", {2000}, TempoChangeSong());
  struct Case {
    const char* what;
    const Frame& frame;
    int column;
    int top, bottom;
  };
  const Case cases[] = {
      // At the start the first note waits 1920 ticks up, its bar as long as
      // its 960 ticks (one row short of them, so notes repeated show apart).
      {"first note at rest", full[0], kColumnC, FrontRow(1920 + 960) + 1, FrontRow(1920)},
      // 1500 ms: position 1440, the note 480 ticks (a beat) ahead.
      {"a beat before", full[1], kColumnC, FrontRow(480 + 960) + 1, FrontRow(480)},
      // 2000 ms: position 1920, its front at the keys' edge.
      {"due now", full[2], kColumnC, FrontRow(960) + 1, kKeysEdge},
      // The chord's bars side by side, both fronts 1920 ticks ahead.
      {"chord E", full[2], kColumnE, FrontRow(1920 + 480) + 1, FrontRow(1920)},
      {"chord G", full[2], kColumnG, FrontRow(1920 + 480) + 1, FrontRow(1920)},
      // Half speed, 3000 ms: position 1440, the same height as a beat before.
      {"half speed, a beat before", half[0], kColumnC, FrontRow(480 + 960) + 1, FrontRow(480)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.frame.LowestBar(c.column), std::pair(c.top, c.bottom));
  }
  // The tempo change slows the fall at its moment: at 2000 ms the note is
  // still about a beat away (the song takes the new tempo in the frame that
  // reaches it, so within a row), where without the change it would be due.
  const auto [slowedTop, slowedBottom] = slowed[0].LowestBar(kColumnC);
  EXPECT_NEAR(slowedBottom, FrontRow(480), 1);
  EXPECT_EQ(slowedBottom - slowedTop, FrontRow(0) - FrontRow(480) - 1) << "a beat long, one row short";
  // The next note to play stands out; the chord only once it is next.
  EXPECT_EQ(full[1].Pixel(kColumnC, FrontRow(480) - 1), kNext);
  EXPECT_NE(full[2].Pixel(kColumnE, FrontRow(1920) - 1), kNext);
}

TEST(NotesAhead, AFoldedNoteFallsOntoTheKeyThatPlaysItWithItsArrow) {
  // 4000 ms: position 3840; the high C (tick 5760) falls onto key 12, the
  // key that plays it an octave lower, with the key's upward arrow.
  const std::vector<Frame> frames = Snapshots("", {4000});
  EXPECT_EQ(frames[0].LowestBar(kColumnHighC), std::pair(FrontRow(1920 + 480) + 1, FrontRow(1920)));
  int arrowPixels = 0;
  for (int x = kColumnHighC - 6; x <= kColumnHighC + 6; ++x)
    for (int y = FrontRow(1920 + 480); y < FrontRow(1920); ++y) arrowPixels += frames[0].Pixel(x, y) == kArrow;
  EXPECT_GT(arrowPixels, 0);
  // Nothing falls in the column of the note's own pitch: it is out of reach.
  EXPECT_EQ(frames[0].LowestBar(8 + 11 * 52 + 21), std::pair(0, 0));
}

TEST(NotesAhead, ALoopShowsThePassageAgainBeforeItsEnd) {
  // Measure 2 (ticks 1920 to 3840) looped: 1500 ms in, at position 3360,
  // the passage's first note (1920) comes 480 ticks ahead in the place of
  // the chord after the loop; a pass later the picture is the same.
  const std::vector<Frame> frames = Snapshots("--loop 2-2 --loop-passes 3", {1500, 3500});
  for (const Frame& frame : frames) {
    SCOPED_TRACE(frame.at);
    const int front = frame.LowestBar(kColumnC).second;
    EXPECT_NEAR(front, FrontRow(480), 1);
    EXPECT_EQ(frame.LowestBar(kColumnE), std::pair(0, 0));
  }
}

// The view and the snapshots change no MIDI line; what cannot be done is
// said, with the exit status the manual page gives.
TEST(NotesAhead, TheTraceOptionsChangeNoMessage) {
  const std::string song = test::WriteTempFile(LaneSong(), "options.mid");
  const std::string folder = song.substr(0, song.rfind('/'));
  const auto messages = [&](const std::string& options, int expectedStatus) {
    int status = -1;
    std::istringstream lines(test::CommandOutput(std::string(TONQUILL_TRACE) + " " + options + " " + song + " 2>&1",
                                                 &status));
    EXPECT_EQ(WEXITSTATUS(status), expectedStatus) << options;
    std::string out;
    for (std::string line; std::getline(lines, line);)
      if (line.rfind("# snapshot", 0) != 0) out += line + "\n";
    return out;
  };
  const std::string plain = messages("--mode training", 0);
  EXPECT_EQ(messages("--mode training --view ahead --snapshot 2500:" + folder + "/a.bmp", 0), plain);
  EXPECT_EQ(messages("--mode training --view names", 0), plain);
  messages("--view sideways", 2);
  messages("--snapshot 100", 2);
  EXPECT_NE(messages("--snapshot 100:" + folder + "/no/such/folder.bmp", 1).find("could not write"), std::string::npos);
}

TEST(NotesAhead, TrainingHaltsTheLaneAndAPlayedNoteTakesItsVerdictsColour) {
  // The halt at the first note (2000 ms); the key pressed a second later.
  const std::vector<Frame> frames = Snapshots("--mode training --press-offset-ms 1000", {2300, 2700, 3200});
  EXPECT_EQ(frames[0].picture.rgb, frames[1].picture.rgb);
  EXPECT_EQ(frames[0].LowestBar(kColumnC).second, kKeysEdge);
  EXPECT_EQ(frames[2].Pixel(kColumnC, kKeysEdge - 1), kLate);
}

}  // namespace

namespace {

namespace pt = platform::testing;

class NotesAheadScreen : public test::ProgramTest {
 protected:
  static void ChooseView(files::View view) {
    files::Settings chosen = files::CurrentSettings();
    chosen.view = view;
    files::UseSettingsForThisRun(chosen);
  }
};

// At rest the lane costs nothing: it draws once and presents no idle frame.
// Switched off, the piano area is the artwork's again, pixel for pixel.
TEST_F(NotesAheadScreen, AtRestNothingIsDrawnAndOffRestoresThePlainKeys) {
  StartWithSong({Track().End(7680), Track().Event(1920, {0x90, 60, 100}).Event(960, {0x80, 60, 0}).End(0)});
  const game::SourceRect pianoArea{0, 264, 640, 480};
  ChooseView(files::View::NotesAhead);
  Pass();
  EXPECT_FALSE(ShowsArtwork(0, 264, pianoArea));
  // The first note's bar, 1920 ticks up (rows 289 to 311), above the lane.
  EXPECT_NE(Shown(kColumnC, 300), Shown(kColumnC, 320)) << "the first note waits in view";
  const int presented = pt::PresentCount();
  for (int i = 0; i < 20; ++i) Pass();
  EXPECT_EQ(pt::PresentCount(), presented);
  ChooseView(files::View::Plain);
  Pass();
  EXPECT_TRUE(ShowsArtwork(0, 264, pianoArea));
}

}  // namespace
