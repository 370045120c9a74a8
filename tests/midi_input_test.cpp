// A MIDI keyboard played into the game through the scripted input queue:
// its notes take the same way into the piano as the computer keys.
#include <set>

#include "game/computer_keyboard.h"
#include "game/controls.h"
#include "game/judging.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "program_fixture.h"

namespace {

namespace pt = platform::testing;
using platform::MidiInputEvent;
using test::Bytes;
using test::Track;

// The guide plays E4 at tick 960 and G4 at 1920 (velocities 90 and 80).
std::vector<Track> GuideSong() {
  Track conductor, guide;
  conductor.Tempo(0, 500000).End(3840);
  guide.Event(960, {0x90, 64, 90}).Event(400, {0x80, 64, 0}).Event(560, {0x90, 67, 80}).Event(400, {0x80, 67, 0}).End(0);
  return {conductor, guide};
}

class MidiInput : public test::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    StartWithSong(GuideSong());
  }
  void Play(MidiInputEvent::Kind kind, int note, int value, int channel = 0) {
    pt::PushMidiInput({kind, channel, note, value});
    Pass();
  }
};

TEST_F(MidiInput, TheKeyboardIsListenedToFromStartUp) { EXPECT_TRUE(pt::MidiInputOpen()); }

TEST_F(MidiInput, ANoteSoundsWithThePlayersVelocity) {
  Play(MidiInputEvent::NoteOn, 30, 37, 5);  // far below the computer keys' range
  Play(MidiInputEvent::NoteOff, 30, 0, 5);
  EXPECT_EQ(TakeSent(), (std::vector<Bytes>{{0x90, 30, 37}, {0x90, 30, 0}}));
  ClickButton(game::kButtonDemo);
  TakeSent();
  Play(MidiInputEvent::NoteOn, 100, 120);
  EXPECT_EQ(NoteOns(TakeSent()), (std::vector<Bytes>{{100, 120}}));
}

TEST_F(MidiInput, InTrainingAnyNoteTakesTheGuideNote) {
  ClickButton(game::kButtonTraining);
  TakeSent();
  Play(MidiInputEvent::NoteOn, 40, 127);
  EXPECT_EQ(NoteOns(TakeSent()), (std::vector<Bytes>{{64, 80}}));
  EXPECT_EQ(player::GuideNote(), 67);
  Play(MidiInputEvent::NoteOff, 40, 0);
  EXPECT_EQ(TakeSent(), (std::vector<Bytes>{{0x90, 64, 0}})) << "the release ends the note it started";
}

TEST_F(MidiInput, InAGameTheWrongNoteIsRefusedAndTheRightOneJudged) {
  ClickButton(game::kButtonGame);
  TakeSent();
  Play(MidiInputEvent::NoteOn, 65, 100);
  Play(MidiInputEvent::NoteOff, 65, 0);
  EXPECT_TRUE(TakeSent().empty()) << "refused, and its release ends nothing";
  EXPECT_EQ(game::NotesPlayed(), 0);
  Play(MidiInputEvent::NoteOn, 64, 100);
  EXPECT_EQ(NoteOns(TakeSent()), (std::vector<Bytes>{{64, 80}}));
  EXPECT_EQ(game::NotesPlayed(), 1);
  EXPECT_EQ(game::LastVerdict(), game::kVerdictFast) << "a second early";
}

// Taken in one pass, the computer keys' events and the MIDI keyboard's
// play in the order they came, and each ends its own note.
TEST_F(MidiInput, ComputerKeysAndMidiNotesPlayInTheirOrderAndEachEndTheirOwn) {
  pt::PushMidiInput({MidiInputEvent::NoteOn, 0, 60, 50});
  pt::AdvanceTime(1);
  KeyDown('A');  // the same C4 from the computer keyboard
  pt::AdvanceTime(1);
  pt::PushMidiInput({MidiInputEvent::NoteOff, 0, 60, 0});
  pt::AdvanceTime(1);
  pt::PushMidiInput({MidiInputEvent::NoteOn, 0, 62, 70});
  Pass();
  EXPECT_EQ(TakeSent(), (std::vector<Bytes>{{0x90, 60, 50}, {0x90, 60, 100}, {0x90, 60, 0}, {0x90, 62, 70}}));
  KeyUp('A');
  Pass();
  EXPECT_EQ(TakeSent(), (std::vector<Bytes>{{0x90, 60, 0}}));
}

TEST_F(MidiInput, ReleasesOfNotesNeverStartedSendNothingAndThePedalPassesThrough) {
  Play(MidiInputEvent::NoteOff, 70, 0);
  EXPECT_TRUE(TakeSent().empty());
  Play(MidiInputEvent::Sustain, 64, 127);
  Play(MidiInputEvent::Sustain, 64, 0);
  EXPECT_EQ(TakeSent(), (std::vector<Bytes>{{0xB0, 64, 127}, {0xB0, 64, 0}}));
}

// What a run of sent messages leaves sounding: the notes started and not
// ended, and the sustain pedal's last value.
struct Sounding {
  std::set<int> notes;
  int pedal = 0;
  void Follow(const std::vector<Bytes>& sent) {
    for (const Bytes& b : sent) {
      if (b.size() != 3) continue;
      if (b[0] == 0x90 && b[2] != 0) notes.insert(b[1]);
      if ((b[0] == 0x90 && b[2] == 0) || b[0] == 0x80) notes.erase(b[1]);
      if (b[0] == 0xB0 && b[1] == 64) pedal = b[2];
    }
  }
};

TEST_F(MidiInput, AFloodIsTakenAFewEventsAFrame) {
  for (int note = 20; note < 120; ++note) pt::PushMidiInput({MidiInputEvent::NoteOn, 0, note, 90});
  for (int note = 20; note < 120; ++note) pt::PushMidiInput({MidiInputEvent::NoteOff, 0, note, 0});
  Pass();
  Sounding sounding;
  const std::vector<Bytes> firstFrame = TakeSent();
  sounding.Follow(firstFrame);
  EXPECT_LE(firstFrame.size(), 64u) << "one frame plays a share of the 200 events";
  EXPECT_EQ(pt::PendingMidiInput(), 200 - firstFrame.size()) << "the rest wait";
  for (int i = 0; i < 10; ++i) Pass();
  sounding.Follow(TakeSent());
  EXPECT_EQ(pt::PendingMidiInput(), 0u);
  EXPECT_TRUE(sounding.notes.empty());
}

// Notes and the pedal are down when a flood arrives behind their releases
// (a program sending into the port, a keyboard gone mad): the queue fills,
// and what it drops must never leave a note or the pedal on.
TEST_F(MidiInput, WhenAFloodFillsTheQueueNoteOnsGiveWayNeverReleases) {
  const std::vector<std::pair<const char*, bool>> floods{{"note-on and note-off pairs", true},
                                                         {"all the note-ons, then all the note-offs", false}};
  for (const auto& [name, paired] : floods) {
    SCOPED_TRACE(name);
    for (int note = 40; note < 50; ++note) pt::PushMidiInput({MidiInputEvent::NoteOn, 0, note, 90});
    pt::PushMidiInput({MidiInputEvent::Sustain, 0, 64, 127});
    Pass();
    Sounding sounding;
    sounding.Follow(TakeSent());
    ASSERT_EQ(sounding.notes.size(), 10u);
    ASSERT_EQ(sounding.pedal, 127);
    for (int note = 40; note < 50; ++note) pt::PushMidiInput({MidiInputEvent::NoteOff, 0, note, 0});
    pt::PushMidiInput({MidiInputEvent::Sustain, 0, 64, 0});
    // 300 notes on three other channels, 600 events.
    auto send = [](MidiInputEvent::Kind kind, int n) { pt::PushMidiInput({kind, 1 + n / 100, 20 + n % 100, 70}); };
    for (int n = 0; n < 300; ++n) {
      send(MidiInputEvent::NoteOn, n);
      if (paired) send(MidiInputEvent::NoteOff, n);
    }
    if (!paired)
      for (int n = 0; n < 300; ++n) send(MidiInputEvent::NoteOff, n);
    for (int i = 0; i < 20 && pt::PendingMidiInput() > 0; ++i) Pass();
    sounding.Follow(TakeSent());
    EXPECT_EQ(pt::PendingMidiInput(), 0u);
    EXPECT_TRUE(sounding.notes.empty()) << sounding.notes.size() << " notes left sounding";
    EXPECT_EQ(sounding.pedal, 0);
  }
}

TEST_F(MidiInput, NotesPlayedAwayFromTheMainScreenAreDropped) {
  ClickButton(game::kButtonRank);
  for (int i = 0; i < 12; ++i) Pass();  // the ranking scene
  pt::PushMidiInput({MidiInputEvent::NoteOn, 0, 61, 90});
  pt::PushMidiInput({MidiInputEvent::NoteOn, 0, 62, 90});
  for (int i = 0; i < 12; ++i) Pass();
  pt::PushEvent({platform::EventKind::KeyDown, 0, 0, 0x20});  // Space: back
  for (int i = 0; i < 15; ++i) Pass();
  EXPECT_TRUE(NoteOns(TakeSent()).empty());
  EXPECT_EQ(pt::PendingMidiInput(), 0u);
}

}  // namespace
