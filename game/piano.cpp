#include "game/piano.h"

#include "game/computer_keyboard.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/piano_keys.h"
#include "game/play_mode.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"

namespace game {

static constexpr std::uint8_t kSustainController = 64;

static void Send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  const std::uint8_t message[3] = {static_cast<std::uint8_t>(status + kKeyboardChannel), data1, data2};
  player::SendEventMessage(message, 3);
}

void DrawGuideKey(int guideNote, int look) {
  if (guideNote < 0 || guideNote > 127) return;
  DrawPianoKey(NoteInReach(guideNote) - kPianoLowestNote, look);
}

void LightGuideChord() {
  for (int i = 0; i < player::GuideChordSize(); ++i)
    if (player::GuideChordNoteWaits(i)) DrawGuideKey(player::GuideChordNote(i), kKeyLookLit);
}

void LightNextGuideNotes() {
  const int toShow = player::GuideNoteToShow();
  // In a loop's tail the next note lies past its end: the passage's first
  // note is the one to play next.
  if (toShow != player::GuideNote()) DrawGuideKey(toShow, kKeyLookLit);
  else LightGuideChord();
  player::SetLastShownGuideNote(toShow);
}

// Whether a press plays a guide note: the computer keyboard plays the
// note moved into its reach.
static bool PlaysNote(PianoInput input, int pressed, int guideNote) {
  if (input == PianoInput::ComputerKeyboard) return pressed == NoteInReach(guideNote);
  return pressed == guideNote;
}

// The note of the guide's chord that a press plays: a waiting one when
// there is one, else one already taken; -1 when the press plays none.
static int ChordNoteOfPress(PianoInput input, int pressed, bool& waits) {
  int takenMatch = -1;
  for (int i = 0; i < player::GuideChordSize(); ++i) {
    if (!PlaysNote(input, pressed, player::GuideChordNote(i))) continue;
    waits = player::GuideChordNoteWaits(i);
    if (waits) return player::GuideChordNote(i);
    takenMatch = player::GuideChordNote(i);
  }
  return takenMatch;
}

// The press takes a note of the guide's chord, unless the game refuses it.
static PianoPress TakeGuide(PianoInput input, int& note, int& velocity) {
  const bool game = (PlayMode() & kRefusesWrongKeys) == kRefusesWrongKeys;
  bool waits = false;
  const int chordNote = ChordNoteOfPress(input, note, waits);
  if (game && chordNote < 0) return PianoPress::RefusedBlocking;
  if (game && !waits) return PianoPress::RefusedChordNoteTaken;
  JudgeTiming();
  note = player::TakeGuideNote(waits ? chordNote : note);
  velocity = player::GuideVelocity();  // the velocity of the new guide note
  if (player::GuideNote() < player::kGuideEndNoticed) {
    DrawGuideKey(player::LastShownGuideNote(), kKeyLookUp);
    LightNextGuideNotes();
  }
  return PianoPress::Sounded;
}

PianoPress StartPianoNote(PianoInput input, int pressedNote, int velocity, std::uint8_t& started) {
  int note = pressedNote;
  if (player::IsGuidePerformed() == 1) {
    const PianoPress taken = TakeGuide(input, note, velocity);
    if (taken != PianoPress::Sounded) return taken;
  }
  started = static_cast<std::uint8_t>(note & 0x7F);
  Send(0x90, started, static_cast<std::uint8_t>(velocity & 0x7F));
  AdvanceLyricWord();
  return PianoPress::Sounded;
}

void EndPianoNote(std::uint8_t started) { Send(0x90, started, 0); }

void SendPianoPedal(int value) { Send(0xB0, kSustainController, static_cast<std::uint8_t>(value & 0x7F)); }

}  // namespace game
