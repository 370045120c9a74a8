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

// Whether a game takes the press for the guide note.
static bool IsGuideNote(PianoInput input, int note) {
  const int guide = player::GuideNote();
  if (input == PianoInput::ComputerKeyboard && guide >= 0 && guide <= 127) return note == NoteInReach(guide);
  return note == guide;
}

// The press takes the guide note; false when the game refuses it.
static bool TakeGuide(PianoInput input, int& note, int& velocity) {
  const bool game = (PlayMode() & kRefusesWrongKeys) == kRefusesWrongKeys;
  if (game && !IsGuideNote(input, note)) return false;
  JudgeTiming();
  note = player::TakeGuideNote(note);
  velocity = player::GuideVelocity();  // the velocity of the new guide note
  if (player::GuideNote() < player::kGuideEndNoticed) {
    DrawGuideKey(player::LastShownGuideNote(), kKeyLookUp);
    DrawGuideKey(player::GuideNoteToShow(), kKeyLookLit);
    player::SetLastShownGuideNote(player::GuideNoteToShow());
  }
  return true;
}

bool StartPianoNote(PianoInput input, int pressedNote, int velocity, std::uint8_t& started) {
  int note = pressedNote;
  if (player::IsGuidePerformed() == 1 && !TakeGuide(input, note, velocity)) return false;
  started = static_cast<std::uint8_t>(note & 0x7F);
  Send(0x90, started, static_cast<std::uint8_t>(velocity & 0x7F));
  AdvanceLyricWord();
  return true;
}

void EndPianoNote(std::uint8_t started) { Send(0x90, started, 0); }

void SendPianoPedal(int value) { Send(0xB0, kSustainController, static_cast<std::uint8_t>(value & 0x7F)); }

}  // namespace game
