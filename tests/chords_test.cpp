// Chords in the guide: notes that start together are played together or in
// any order, judged against the chord's time, and TRAINING waits for the
// whole chord.
#include <algorithm>

#include "game/computer_keyboard.h"
#include "game/controls.h"
#include "game/judging.h"
#include "game/piano_keys.h"
#include "game/press_record.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "player/run_step.h"
#include "program_fixture.h"

namespace {

namespace pt = platform::testing;
using test::Bytes;
using test::Track;

// 120 beats per minute at 480 ticks. The guide holds three chords, at ticks
// 960, 1920 and 2880, each written top note first:
// G4 E4 C4, A4 F4 D4, C5 G4 E4.
constexpr int kChords[3][3] = {{67, 64, 60}, {69, 65, 62}, {72, 67, 64}};
constexpr std::int32_t kChordTicks[3] = {960, 1920, 2880};

std::vector<Track> ChordSong() {
  Track conductor, guide, band;
  conductor.Tempo(0, 500000).End(3840);
  std::uint32_t delta = 960;
  for (const auto& chord : kChords) {
    for (int i = 0; i < 3; ++i) guide.Event(i == 0 ? delta : 0, {0x90, static_cast<std::uint8_t>(chord[i]), 90});
    for (int i = 0; i < 3; ++i) guide.Event(i == 0 ? 400 : 0, {0x80, static_cast<std::uint8_t>(chord[i]), 0});
    delta = 560;
  }
  guide.End(0);
  for (int i = 0; i < 32; ++i) band.Event(i == 0 ? 0 : 120, {0x92, 36, 50});
  band.End(0);
  return {conductor, guide, band};
}

// The computer key of a note from C4 on.
int KeyOf(int note) { return game::kNoteKeys[note - 60]; }

class Chords : public test::ProgramTest {
 protected:
  void WaitForHalt() {
    for (int i = 0; i < 400 && !player::HaltedAtGuide(); ++i) Pass(10);
    ASSERT_TRUE(player::HaltedAtGuide());
  }
  // Keys go down one frame apart in the given order (or all in one frame),
  // stay down until each has sounded, then go up.
  void PlayChord(const int (&notes)[3], const int (&order)[3], bool together) {
    for (int i = 0; i < 3; ++i) {
      KeyDown(KeyOf(notes[order[i]]));
      if (!together) Pass(10);
    }
    Pass(10);
    for (int i = 0; i < 3; ++i) KeyUp(KeyOf(notes[i]));
    Pass(10);
  }
  // Whether the piano key of a note from C4 to B4 shows a look (white keys
  // by their lower part).
  static bool KeyLooks(int note, int look) {
    constexpr int kColumn[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
    const int key = note - 60;
    return ShowsArtwork(8 + 52 * kColumn[key], 400, {52 * look, 616, 52 * look + 52, 688});
  }
};

// At the halt, in a game, every note of every chord is Good however its
// keys go down: together, or one a frame in any order; each sounds in the
// order its key went down.
TEST_F(Chords, GameTakesEachChordNoteAsGoodInAnyOrder) {
  struct Case {
    const char* name;
    int order[3];  // indices into the chord as written
    bool together;
  };
  const Case cases[] = {
      {"together", {0, 1, 2}, true},
      {"low to high", {2, 1, 0}, false},
      {"high to low", {0, 1, 2}, false},
      {"middle first", {1, 2, 0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ResetProgram(1);
    StartWithSong(ChordSong());
    ClickButton(game::kButtonGame);
    for (int chord = 0; chord < 3; ++chord) {
      WaitForHalt();
      EXPECT_EQ(player::GuideTick(), kChordTicks[chord]);
      TakeSent();
      PlayChord(kChords[chord], c.order, c.together);
      std::vector<Bytes> played;
      for (const Bytes& on : NoteOns(TakeSent())) played.push_back({on[0]});
      std::vector<Bytes> expected;
      for (int i : c.order) expected.push_back({static_cast<std::uint8_t>(kChords[chord][i])});
      EXPECT_EQ(played, expected) << "chord " << chord;
      EXPECT_EQ(game::NotesPlayed(), 3 * (chord + 1));
      EXPECT_EQ(game::Misses(), 0);
    }
    EXPECT_EQ(game::Score(), 9 * 1000 / 99);
  }
}

// A chord key held down never blocks another key of the chord, nor does a
// key of the chord pressed again after it was taken; a key outside the
// chord still blocks the keys after it.
TEST_F(Chords, AHeldChordKeyBlocksNoOtherKey) {
  StartWithSong(ChordSong());
  ClickButton(game::kButtonGame);
  WaitForHalt();
  TakeSent();
  KeyDown('A');  // C4, the chord's last note as written
  Pass(10);
  EXPECT_EQ(game::NotesPlayed(), 1);
  KeyDown('G');  // G4, later in the table, while C4 is held
  Pass(10);
  EXPECT_EQ(game::NotesPlayed(), 2) << "the held C4 does not block G4";
  KeyUp('A');
  Pass(10);
  KeyDown('A');  // C4 again: taken already, refused
  KeyDown('D');  // E4, the chord's last waiting note
  Pass(10);
  EXPECT_EQ(NoteOns(TakeSent()), (std::vector<Bytes>{{60, 90}, {67, 90}, {64, 90}}))
      << "the second C4 sounds nothing; E4 after it in the table is taken";
  EXPECT_EQ(game::NotesPlayed(), 3);
  for (int key : {'A', 'G', 'D'}) KeyUp(key);
  Pass(10);
  WaitForHalt();
  KeyDown('A');  // C4: not in the second chord
  KeyDown('S');  // D4: in it, but after the wrong key
  for (int i = 0; i < 4; ++i) Pass(10);
  EXPECT_EQ(game::NotesPlayed(), 3) << "a wrong key still blocks the keys after it";
}

// TRAINING halts at a chord until every note of it is played; any key
// takes the chord's first waiting note, a key of the chord its own note.
// The chord's keys are lit and go dark as their notes are taken.
TEST_F(Chords, TrainingWaitsForTheWholeChord) {
  StartWithSong(ChordSong());
  ClickButton(game::kButtonTraining);
  for (int note : {60, 64, 67}) EXPECT_TRUE(KeyLooks(note, game::kKeyLookLit)) << note;
  WaitForHalt();
  const std::int32_t halted = player::SongPosition();
  TakeSent();
  Tap('D');  // E4, a note of the chord
  EXPECT_TRUE(KeyLooks(64, game::kKeyLookUp));
  EXPECT_TRUE(KeyLooks(60, game::kKeyLookLit));
  EXPECT_TRUE(KeyLooks(67, game::kKeyLookLit));
  Tap('J');  // B4, no note of the chord: the first waiting, G4
  for (int i = 0; i < 10; ++i) Pass(10);
  EXPECT_TRUE(player::HaltedAtGuide()) << "one note of the chord still waits";
  EXPECT_EQ(player::SongPosition(), halted);
  EXPECT_TRUE(NoteOns(TakeSent()) == (std::vector<Bytes>{{64, 90}, {67, 90}}));
  Tap('J');
  Pass(10);
  Pass(10);
  EXPECT_GT(player::SongPosition(), halted) << "the whole chord is played: the song goes on";
  EXPECT_EQ(player::GuideTick(), 1920);
  for (int note : {62, 65, 69}) EXPECT_TRUE(KeyLooks(note, game::kKeyLookLit)) << note;
  EXPECT_TRUE(KeyLooks(60, game::kKeyLookUp));
  EXPECT_EQ(game::NotesPlayed(), 3);
}

// A chord is judged by its first key against the chord's time (1000 ms into
// the run); its other keys that go down within 150 ms of the first, in any
// order, get the first's offset and verdict, and a later one is judged by
// its own. From the computer keys and a MIDI keyboard alike, each key judged
// from its own moment, also when several are taken in one pass.
TEST_F(Chords, AChordsKeysCountWithItsFirstWithin150Ms) {
  constexpr int kGood = game::kVerdictGood, kLate = game::kVerdictLate, kFast = game::kVerdictFast;
  struct Case {
    const char* name;
    bool midi;
    bool onePass;   // the keys' events wait for one pass after the last
    int notes[3];   // in the order pressed
    int downMs[3];  // each key's moment from the chord's time
    int offsetMs[3];
    int verdict[3];
  };
  const Case cases[] = {
      {"the last 150 ms after the first", false, false, {67, 64, 60}, {20, 120, 170}, {20, 20, 20}, {kGood, kGood, kGood}},
      {"the last 160 ms after the first", false, false, {60, 67, 64}, {20, 60, 180}, {20, 20, 180}, {kGood, kGood, kLate}},
      {"a fast first key", false, false, {64, 60, 67}, {-100, -20, 40}, {-100, -100, -100}, {kFast, kFast, kFast}},
      {"a MIDI keyboard", true, false, {60, 64, 67}, {20, 100, 200}, {20, 20, 200}, {kGood, kGood, kLate}},
      {"keys taken in one pass", false, true, {60, 64, 67}, {20, 60, 200}, {20, 20, 200}, {kGood, kGood, kLate}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ResetProgram(1);
    std::vector<Track> song = ChordSong();
    song[0] = Track().End(3840);  // 120 bpm with no tempo event: the halt comes at 1000 ms exactly
    StartWithSong(song);
    ClickButton(game::kButtonGame);
    const std::uint32_t start = platform::TimeMs() - 16, chord = start + 1000;
    if (c.onePass) PassOnGridUntil(start, chord);  // the halt
    for (int i = 0; i < 3; ++i) {
      if (c.onePass) pt::AdvanceTime(chord + c.downMs[i] - platform::TimeMs());
      else PassOnGridUntil(start, chord + c.downMs[i]);
      if (c.midi) pt::PushMidiInput({platform::MidiInputEvent::NoteOn, 0, c.notes[i], 90});
      else KeyDown(KeyOf(c.notes[i]));
      if (!c.onePass) Pass(0);  // taken at once
    }
    Pass(0);
    Pass(10);
    const auto& presses = game::JudgedPresses();
    ASSERT_EQ(presses.size(), 3u);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(presses[i].offsetMs, c.offsetMs[i]) << "key " << i;
      EXPECT_EQ(presses[i].verdict, c.verdict[i]) << "key " << i;
    }
    for (int note : c.notes) KeyUp(KeyOf(note));
  }
}

// The guide gathers each chord from the notes that start with its first: a
// note written twice counts once, events between the notes are stepped
// over, and a note more than 30 ms later starts the next chord.
TEST_F(Chords, TheGuideGathersTheNotesOfOneTick) {
  Track conductor, guide;
  conductor.Tempo(0, 500000).End(1920);
  guide.Event(480, {0x90, 60, 80})
      .Event(0, {0xB0, 7, 100})
      .Event(0, {0x90, 64, 70})
      .Event(0, {0x90, 60, 60})  // C4 again
      .Event(0, {0x80, 50, 0})
      .Event(0, {0x90, 55, 0})  // a note-off written as a note-on
      .Event(29, {0x90, 67, 90})  // 30.2 ms later
      .Event(480, {0x90, 72, 80})  // a rolled chord, 20.8 ms a note: its spread counts from its first
      .Event(20, {0x90, 74, 80})
      .Event(20, {0x90, 76, 80})
      .End(0);
  StartWithSong({conductor, guide});
  ClickButton(game::kButtonTraining);
  ASSERT_EQ(player::GuideChordSize(), 2);
  EXPECT_EQ(player::GuideChordNote(0), 60);
  EXPECT_EQ(player::GuideChordNote(1), 64);
  EXPECT_EQ(player::GuideNote(), 60);
  EXPECT_EQ(player::GuideVelocity(), 80);
  EXPECT_EQ(player::TakeGuideNote(64).note, 64);
  EXPECT_EQ(player::GuideNote(), 60) << "the first waiting note";
  EXPECT_EQ(player::GuideTick(), 480);
  EXPECT_EQ(player::TakeGuideNote(71).note, 60);
  EXPECT_EQ(player::GuideTick(), 509);
  ASSERT_EQ(player::GuideChordSize(), 1);
  EXPECT_EQ(player::TakeGuideNote(71).note, 67);
  ASSERT_EQ(player::GuideChordSize(), 2);
  EXPECT_EQ(player::TakeGuideNote(72).note, 72);
  EXPECT_EQ(player::TakeGuideNote(74).note, 74);
  EXPECT_EQ(player::GuideTick(), 1029) << "the song's own tick after the notes gathered";
  EXPECT_EQ(player::TakeGuideNote(76).note, 76);
  EXPECT_TRUE(player::GuideOver());
  EXPECT_EQ(player::GuideChordSize(), 0);
}

}  // namespace
