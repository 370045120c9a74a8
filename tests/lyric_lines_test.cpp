// Lyrics written a syllable per event are gathered into lines by the marks
// in their text; the lyric bar shows the whole line and lights each
// syllable as the song reaches it. Lyrics written a line per event show as
// they always have.
#include <string>

#include "game/controls.h"
#include "game/lyric_bar.h"
#include "player/event_dispatch.h"
#include "player/lyric_lines.h"
#include "player/passage_loop.h"
#include "program_fixture.h"

namespace {

using test::Track;

constexpr draw::Pixel kSungBlue = draw::RgbToPixel(0x0000C0);
constexpr draw::Pixel kRed = draw::RgbToPixel(0xFF0000);

// 120 beats per minute at 480 ticks: a tick lasts 1.0417 ms. Track 3 holds
// the lyric events, one every 480 ticks from tick 480, of `type`.
std::vector<Track> LyricSong(const std::vector<std::string>& texts, std::uint8_t type,
                             const std::vector<std::string>& atStart = {}) {
  Track conductor, guide, words;
  conductor.Tempo(0, 500000).Text(0, 0x01, "Made by hand").End(6000);
  guide.Event(480, {0x90, 64, 90}).Event(240, {0x80, 64, 0}).End(0);
  for (const std::string& text : atStart) words.Text(0, type, text);
  for (const std::string& text : texts) words.Text(480, type, text);
  words.End(0);
  return {conductor, guide, words};
}

class LyricLines : public test::ProgramTest {
 protected:
  // Ink of a colour anywhere in the lyric bar's cells of line bytes
  // first..last (inclusive).
  static bool InkInCells(draw::Pixel colour, int first, int last) {
    for (int y = 224; y < 240; ++y)
      for (int x = 8 * (first + 2) - 1; x < 8 * (last + 3) - 1; ++x)
        if (Shown(x, y) == colour) return true;
    return false;
  }
};

// At each moment: the line the bar shows, and how many of its bytes are
// lit (sung) so far; the rest are not.
struct Moment {
  std::uint32_t ms;
  const char* line;
  int sung;
};

TEST_F(LyricLines, SyllablesGatherIntoLinesAndLightAsTheSongReachesThem) {
  struct Case {
    const char* name;
    std::uint8_t type;
    std::vector<std::string> header;
    std::vector<std::string> texts;  // at 500 ms, 1000 ms, ...
    std::vector<Moment> moments;
  };
  const Case cases[] = {
      {"line ends in lyric events",
       0x05,
       {},
       {"Twin", "kle ", "star\n", "How ", "I\r", "\n", "won", "der"},
       {{700, "Twinkle star", 4}, {1200, "Twinkle star", 8}, {1700, "Twinkle star", 12}, {2200, "How I", 4},
        {2700, "How I", 5}, {3200, "How I", 5}, {3700, "wonder", 3}, {4200, "wonder", 6}}},
      {"karaoke text events",
       0x01,
       {"@KMIDI KARAOKE FILE", "@TTwinkle"},
       {"\\Twin", "kle ", "/lit", "tle ", "star"},
       {{700, "Twinkle ", 4}, {1200, "Twinkle ", 8}, {1700, "little star", 3}, {2700, "little star", 11}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ResetProgram(1);
    StartWithSong(LyricSong(c.texts, c.type, c.header));
    ClickButton(game::kButtonDemo);
    EXPECT_TRUE(player::LyricsBySyllable());
    const std::uint32_t started = platform::TimeMs();
    for (const Moment& m : c.moments) {
      SCOPED_TRACE(m.ms);
      PassUntil(started + m.ms);
      const int length = static_cast<int>(std::string(m.line).size());
      EXPECT_STREQ(player::LyricBuffer(), m.line);
      EXPECT_TRUE(InkInCells(kSungBlue, 0, m.sung - 1));
      if (m.sung < length) {
        EXPECT_FALSE(InkInCells(kSungBlue, m.sung, length - 1));
      }
      if (m.ms == 2700) {
        Tap('A');  // a key press lights no word: the song's time does
        EXPECT_FALSE(InkInCells(kRed, 0, length - 1));
      }
    }
  }
}

// Lyric events that are whole lines (one event a line, with or without a
// line end in it) show each event's text as it arrives, and key presses
// light their words, as the bundled songs have it.
TEST_F(LyricLines, WholeLineLyricsShowAsTheyArrive) {
  for (const char* end : {"", "\r"}) {
    SCOPED_TRACE(*end == '\0' ? "no line ends" : "a line end in each");
    test::ResetProgram(1);
    StartWithSong(LyricSong({std::string("ab cd") + end, std::string("ef gh") + end}, 0x05));
    ClickButton(game::kButtonDemo);
    EXPECT_FALSE(player::LyricsBySyllable());
    const std::uint32_t started = platform::TimeMs();
    PassUntil(started + 700);
    EXPECT_EQ(std::string(player::LyricBuffer()), std::string("ab cd") + end);
    Tap('A');
    EXPECT_TRUE(InkInCells(kRed, 0, 1)) << "the first word lit by the press";
    PassUntil(started + 1200);
    EXPECT_EQ(std::string(player::LyricBuffer()), std::string("ef gh") + end);
    EXPECT_FALSE(InkInCells(kSungBlue, 0, 4));
  }
}

// A loop over the second measure (2000 to 4000 ms) jumps back from the
// line "wonder" to where "How I" begins: the syllables are reached again
// from there, not from where the song left off.
TEST_F(LyricLines, AJumpBackReachesTheSyllablesAgainFromTheLoopsStart) {
  StartWithSong(LyricSong({"Twin", "kle ", "star\n", "How ", "I\r", "\n", "won", "der"}, 0x05));
  player::SetLoop(1, 1);
  ClickButton(game::kButtonDemo);  // from the loop's start, tick 1920
  const std::uint32_t started = platform::TimeMs();
  const Moment moments[] = {{200, "How I", 4}, {1700, "wonder", 3}, {2200, "How I", 4}, {2700, "How I", 5}};
  for (const Moment& m : moments) {
    SCOPED_TRACE(m.ms);
    PassUntil(started + m.ms);
    EXPECT_EQ(player::LoopJumpCount(), m.ms > 2000 ? 1 : 0);
    EXPECT_STREQ(player::LyricBuffer(), m.line);
    EXPECT_TRUE(InkInCells(kSungBlue, 0, m.sung - 1));
    if (m.sung < 5) {
      EXPECT_FALSE(InkInCells(kSungBlue, m.sung, 4));
    }
  }
  // The lines are read once a song: the next song loaded shows its own.
  ClickButton(game::kButtonStop);
  platform::testing::ScriptFileChoice(test::WriteTempFile(test::SmfFile(LyricSong({"Sun ", "shine\n"}, 0x05)), "next.mid"));
  ClickButton(game::kButtonFile);
  ClickButton(game::kButtonDemo);
  PassUntil(platform::TimeMs() + 700);
  EXPECT_STREQ(player::LyricBuffer(), "Sun shine");
}

// A line wider than the bar's 76 cells shows its start until a syllable
// (or a pressed word) lies beyond it; the bar then shows the line from
// that syllable on. Nothing is ever drawn past the bar's frame. A line of
// one short syllable lights as any other.
TEST_F(LyricLines, ALineWiderThanTheBarKeepsTheSyllableSungInsideIt) {
  const std::vector<std::string> tenBytes(9, "abcdefghi ");
  std::vector<std::string> syllables = tenBytes;
  syllables.back() += "\n";
  syllables.push_back("Hi\n");
  std::string words;
  for (const std::string& w : tenBytes) words += w;
  struct Case {
    const char* name;
    std::vector<std::string> texts;
    bool pressed;  // the words light by presses, one each 500 ms
    // At 500 ms x (i + 1): the first byte shown, and the lit cells
    // (relative to it) first..last.
    std::vector<std::vector<int>> moments;
  };
  const Case cases[] = {
      {"syllables", syllables, false, {{0, 0, 9}, {0, 60, 69}, {70, 0, 9}, {70, 10, 19}, {0, 0, 1}}},
      {"words pressed", {words}, true, {{0, 0, 8}, {0, 60, 68}, {70, 0, 8}, {70, 10, 18}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ResetProgram(1);
    StartWithSong(LyricSong(c.texts, 0x05));
    ClickButton(game::kButtonDemo);
    const std::uint32_t started = platform::TimeMs();
    const int at[] = {1, 7, 8, 9, 10};
    for (std::size_t i = 0; i < c.moments.size(); ++i) {
      const std::vector<int>& m = c.moments[i];
      SCOPED_TRACE(at[i]);
      if (c.pressed) {
        PassUntil(started + 700);
        for (int n = 0; n < 20 && game::LyricWordPosition() < 10 * at[i] - 1; ++n) Tap('A');
      } else {
        PassUntil(started + 500 * static_cast<std::uint32_t>(at[i]) + 200);
      }
      EXPECT_EQ(game::LyricLineShownFrom(), m[0]);
      const draw::Pixel lit = c.pressed ? kRed : kSungBlue;
      EXPECT_TRUE(InkInCells(lit, m[1], m[2]));
      EXPECT_FALSE(InkInCells(lit, m[2] + 2, 75));
      EXPECT_TRUE(ShowsArtwork(625, 224, {625, 224, 640, 240})) << "nothing past the bar";
    }
  }
}

}  // namespace
