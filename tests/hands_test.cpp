// Hand parts: which hand each note of a part goes to, which parts get
// hands, and that a chosen hand is guided and judged while the other hand
// plays with the rest of the song.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/testing/testing.h"
#include "smf_builder.h"
#include "song/hand_split.h"
#include "song/song_parts.h"

namespace {

using song::Hand;
using song::HandNote;
using test::Bytes;
using test::Track;

constexpr int kMeasure = 1920;  // 4/4 at 480 ticks a quarter

// Notes as a pianist wrote them: each with the hand that plays it.
struct Written {
  HandNote note;
  Hand hand;
};

// A line of `hand`: one note every `length` ticks from `tick` on, a pitch
// each; a pitch of 0 doubles the line an octave up at the same time.
void Line(std::vector<Written>& notes, Hand hand, int tick, int length, std::initializer_list<int> pitches) {
  for (int pitch : pitches) {
    notes.push_back({{tick, length, pitch}, hand});
    tick += length;
  }
}

void Sort(std::vector<Written>& notes) {
  std::stable_sort(notes.begin(), notes.end(), [](const Written& a, const Written& b) { return a.note.tick < b.note.tick; });
}

// Two lines that cross middle C: the right hand goes down to G3, later
// the left hand comes up to E4 under a high right hand.
std::vector<Written> LinesCrossingMiddleC() {
  std::vector<Written> n;
  Line(n, Hand::Right, 0, 480, {72, 71, 69, 67, 69, 71, 72, 74, 72, 69, 67, 65, 64, 62, 60, 59, 57, 59, 60, 62, 59, 57, 55, 57});
  Line(n, Hand::Right, 6 * kMeasure, 480, {59, 60, 62, 64, 65, 67, 69, 71, 72, 74, 76, 77, 79, 77, 76, 74, 76, 77, 79, 81, 79, 77, 76, 72});
  Line(n, Hand::Left, 0, 960, {48, 43, 45, 41, 43, 40, 38, 41, 41, 36, 38, 40, 43, 45, 48, 52, 57, 60, 62, 64, 60, 62, 59, 60});
  Sort(n);
  return n;
}

// The right hand keeps to E5 to A5 while the left climbs from C2 over it
// to C6.
std::vector<Written> LeftHandClimbingOverTheRight() {
  std::vector<Written> n;
  for (int m = 0; m < 8; ++m) Line(n, Hand::Right, m * kMeasure, 480, {81, 79, 77, 76});
  Line(n, Hand::Left, 0, 960, {36, 40, 43, 45, 48, 52, 55, 57, 60, 64, 67, 69, 72, 77, 82, 84});
  Sort(n);
  return n;
}

std::vector<Written> OneLine(int length, std::initializer_list<int> pitches, bool inOctaves = false) {
  std::vector<Written> n;
  Line(n, Hand::Right, 0, length, pitches);
  if (inOctaves)
    for (std::size_t i = 0, size = n.size(); i < size; ++i) n.push_back({{n[i].note.tick, length, n[i].note.pitch + 12}, Hand::Right});
  Sort(n);
  return n;
}

std::vector<std::int32_t> Measures(int count) {
  std::vector<std::int32_t> starts;
  for (int m = 0; m < count; ++m) starts.push_back(m * kMeasure);
  return starts;
}

// Each case states the share of notes that must reach the hand they were
// written for; a left hand that climbs over the right can only be told by
// pitch as far as it stays below.
TEST(HandSplit, EachNoteGoesToTheHandItWasWrittenFor) {
  struct Case {
    const char* name;
    std::vector<Written> notes;
    bool twoHands;
    double share;  // of the notes at least on their own hand (two hands only)
  };
  const Case cases[] = {
      {"two lines crossing middle C", LinesCrossingMiddleC(), true, 1.0},
      {"a left hand climbing over the right", LeftHandClimbingOverTheRight(), true, 0.85},
      {"a melody alone over two octaves", OneLine(480, {60, 64, 67, 72, 76, 79, 84, 79, 76, 72, 67, 64, 60, 62, 65, 69}), false, 0},
      {"a bass line", OneLine(960, {36, 43, 40, 47, 45, 38, 43, 36, 41, 48, 55, 43}), false, 0},
      {"a melody in octaves", OneLine(480, {60, 62, 64, 65, 67, 69, 71, 72, 71, 69, 67, 65}, true), false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<HandNote> notes;
    for (const Written& w : c.notes) notes.push_back(w.note);
    const song::HandSplit split = song::SplitHands(notes, Measures(12));
    ASSERT_EQ(split.hands.size(), notes.size());
    EXPECT_EQ(split.twoHands, c.twoHands);
    if (!c.twoHands) continue;
    int right = 0, byMiddleC = 0;
    for (std::size_t i = 0; i < notes.size(); ++i) {
      right += split.hands[i] == c.notes[i].hand;
      byMiddleC += (notes[i].pitch >= 60 ? Hand::Right : Hand::Left) == c.notes[i].hand;
    }
    EXPECT_GE(right, c.share * static_cast<double>(notes.size()));
    EXPECT_LT(byMiddleC, static_cast<int>(notes.size())) << "a split fixed at middle C would do as well";
  }
}

// A track of the written notes on channel 1, named `name`.
Track PianoTrack(const std::vector<Written>& notes, const std::string& name) {
  std::multimap<int, Bytes> events;  // by tick; a note's end before another's start
  for (const Written& w : notes) {
    events.emplace(2 * (w.note.tick + w.note.length), Bytes{0x80, static_cast<std::uint8_t>(w.note.pitch), 0});
    events.emplace(2 * w.note.tick + 1, Bytes{0x90, static_cast<std::uint8_t>(w.note.pitch), 80});
  }
  Track t;
  t.Text(0, 3, name);
  int at = 0;
  for (const auto& [key, bytes] : events) {
    t.Event(static_cast<std::uint32_t>(key / 2 - at), bytes);
    at = key / 2;
  }
  return t.End(0);
}

std::vector<Written> OfHand(const std::vector<Written>& notes, Hand hand) {
  std::vector<Written> kept;
  std::copy_if(notes.begin(), notes.end(), std::back_inserter(kept), [hand](const Written& w) { return w.hand == hand; });
  return kept;
}

std::string TraceOf(const std::string& options, const std::string& song) {
  return test::CommandOutput(std::string(TONQUILL_TRACE) + " " + options + " " + song + " 2>&1");
}

std::string PianoSong(const std::vector<Track>& tracks, const char* name) {
  return test::WriteTempFile(test::SmfFile(tracks), name);
}

// A piano piece offers its hands after itself, in one track or one
// channel; hands kept in two tracks, and a melody, get none. The default
// stays the whole part.
TEST(HandParts, APianoPieceListsItsHandsAfterItself) {
  const std::vector<Written> piece = LinesCrossingMiddleC();
  Track conductor;
  conductor.Tempo(0, 500000).End(0);
  Bytes formatZero = test::HeaderChunk(0, 1, 480);
  const Bytes chunk = test::Chunk("MTrk", PianoTrack(piece, "Piano").data);
  formatZero.insert(formatZero.end(), chunk.begin(), chunk.end());
  struct Case {
    const char* name;
    std::string song, parts;
  };
  const Case cases[] = {
      {"one track", PianoSong({conductor, PianoTrack(piece, "Piano")}, "one.mid"),
       "# part t2 72 Piano\n# part t2r 48 Piano, right hand\n# part t2l 24 Piano, left hand\n# default-part t2\n"},
      {"one channel", test::WriteTempFile(formatZero, "zero.mid"),
       "# part t1c1 72 Channel 1\n# part t1c1r 48 Channel 1, right hand\n"
       "# part t1c1l 24 Channel 1, left hand\n# default-part t1c1\n"},
      {"hands in two tracks",
       PianoSong({conductor, PianoTrack(OfHand(piece, Hand::Right), "R"), PianoTrack(OfHand(piece, Hand::Left), "L")}, "two.mid"),
       "# part t2 48 R\n# part t3 24 L\n# default-part t2\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TraceOf("--list-parts", c.song), c.parts);
  }
}

// In GAME each hand's notes are guided and judged (every press Good), and
// the song sends the other hand's: every note of the piece sounds once
// with its note-off, the chosen hand's from the player's keys.
TEST(HandParts, TheChosenHandIsJudgedWhileTheOtherPlays) {
  const std::vector<Written> piece = LinesCrossingMiddleC();
  Track conductor;
  conductor.Tempo(0, 500000).End(0);
  const std::string song = PianoSong({conductor, PianoTrack(piece, "Piano")}, "piece.mid");
  std::map<int, int> written;  // note-ons by pitch
  for (const Written& w : piece) ++written[w.note.pitch];
  for (const auto& [part, hand] : {std::pair{"t2r", Hand::Right}, std::pair{"t2l", Hand::Left}}) {
    SCOPED_TRACE(part);
    std::istringstream lines(TraceOf(std::string("--press-offset-ms 0 --mode game --part ") + part, song));
    std::map<int, int> noteOns, noteOffs;
    int goods = 0, others = 0;
    bool stopped = false;
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("# verdict", 0) == 0) (line.find(" Good") != std::string::npos ? goods : others) += 1;
      stopped = stopped || line.rfind("# stopped after", 0) == 0;
      if (line.empty() || line[0] == '#') continue;
      std::istringstream in(line);
      long time = 0;
      int port = 0;
      unsigned status = 0, note = 0, velocity = 0;
      in >> time >> port >> std::hex >> status >> note >> velocity;
      if ((status & 0xF0) == 0x90 && velocity != 0) ++noteOns[static_cast<int>(note)];
      else if ((status & 0xF0) == 0x80 || (status & 0xF0) == 0x90) ++noteOffs[static_cast<int>(note)];
    }
    EXPECT_FALSE(stopped);
    EXPECT_EQ(goods, static_cast<int>(OfHand(piece, hand).size()));
    EXPECT_EQ(others, 0);
    EXPECT_EQ(noteOns, written);
    EXPECT_EQ(noteOffs, written);
    EXPECT_EQ(TraceOf(std::string("--mode demo --part ") + part, song), TraceOf("--mode demo", song));
  }
}

// On the real-world songs the piano of the 25-track song and the wide
// guitar chords of the slow rock get hands; each hand plays to the end in
// GAME, every press Good.
TEST(HandParts, RealWorldHandsPlayToTheEnd) {
  const std::string folder = std::string(TONQUILL_SOURCE_DIR) + "/../shared/songs-real/";
  if (!std::ifstream(folder + "README.md")) GTEST_SKIP() << "no real-world songs beside the project";
  struct Case {
    const char* song;
    int wholeParts;
    std::vector<std::string> hands;
  };
  const Case cases[] = {{"playmidi_gmstriving.mid", 12, {"t2r", "t2l"}},
                        {"mma_lib-pflib_slowrock.mid", 4, {"t4r", "t4l"}},
                        {"playmidi_bach-invention-01.mid", 2, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.song);
    const std::string parts = TraceOf("--list-parts", folder + c.song);
    EXPECT_EQ(std::count(parts.begin(), parts.end(), '\n') - 1, c.wholeParts + static_cast<long>(c.hands.size())) << parts;
    for (const std::string& hand : c.hands) {
      SCOPED_TRACE(hand);
      EXPECT_NE(parts.find("# part " + hand + " "), std::string::npos);
      const std::string run = TraceOf("--press-offset-ms 0 --mode game --part " + hand, folder + c.song);
      EXPECT_EQ(run.find("# stopped after"), std::string::npos);
      EXPECT_NE(run.find(" late 0 fast 0 "), std::string::npos);
      EXPECT_NE(run.find("# next-scene"), std::string::npos) << "the game ends with its statistics";
    }
  }
}

// The hand's name follows the player's language.
TEST(HandParts, HandNamesInJapanese) {
  Track conductor;
  conductor.Tempo(0, 500000).End(0);
  test::FreshStore();
  test::InstallAndScan(test::SmfFile({conductor, PianoTrack(LinesCrossingMiddleC(), "Piano")}));
  namespace pt = platform::testing;
  for (const bool japanese : {true, false}) {
    pt::SetSystemLanguageJapanese(japanese);
    EXPECT_EQ(song::PartDisplayName(song::Part(song::FindPart("t2r"))), japanese ? "Piano、右手" : "Piano, right hand");
    EXPECT_EQ(song::PartDisplayName(song::Part(song::FindPart("t2l"))), japanese ? "Piano、左手" : "Piano, left hand");
  }
}

}  // namespace

namespace {

// A damaged file's notes lie hundreds of millions of ticks apart at one
// tick a quarter: only the measures with notes are weighed, so finding
// the parts stays quick and small.
TEST(HandParts, NotesFarApartAreWeighedQuickly) {
  Track conductor, piano;
  conductor.End(0);
  for (int i = 0; i < 8; ++i)
    piano.Event(i == 0 ? 0 : 0x0FFFFFFF, {0x90, 36, 80}).Event(0, {0x90, 84, 80}).Event(1, {0x80, 36, 0}).Event(0, {0x80, 84, 0});
  test::FreshStore();
  test::InstallAndScan(test::SmfFile({conductor, piano.End(0)}, 1));
  EXPECT_EQ(song::PartCount(), 3);
  EXPECT_EQ(song::Part(1).id, "t2r");
}

}  // namespace
