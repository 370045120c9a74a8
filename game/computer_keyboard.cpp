#include "game/computer_keyboard.h"

#include <algorithm>
#include <cstdint>

#include "app/shell.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/piano_keys.h"
#include "game/play_mode.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"

namespace game {

// Each note key's state for ReadKeyState, whether it sounds, and the note it
// started (its note-off ends exactly that note); the octave keys' states.
static int keyState[kNoteKeyCount];
static bool sounding[kNoteKeyCount];
static std::uint8_t soundingNote[kNoteKeyCount];
static int shiftState = 0;
static int controlState = 0;

static constexpr int kNormalOctave = 3;

void ResetComputerKeyboard() {
  for (int i = 0; i < kNoteKeyCount; ++i) {
    keyState[i] = 0;
    sounding[i] = false;
    soundingNote[i] = 0;
  }
  shiftState = controlState = 0;
}

bool KeySounding(int i) { return sounding[i]; }
int SoundingNoteOfKey(int i) { return soundingNote[i]; }

static void SendNote(std::uint8_t note, std::uint8_t velocity) {
  const std::uint8_t message[3] = {static_cast<std::uint8_t>(0x90 + kKeyboardChannel), note, velocity};
  player::SendEventMessage(message, 3);
}

// In a performance the press takes the guide note; returns false when the
// game refuses it (not the guide note), which ends this frame's scan.
static bool TakeGuide(int& note, int& velocity) {
  const bool game = (PlayMode() & kRefusesWrongKeys) == kRefusesWrongKeys;
  if (game && note != player::GuideNote()) return false;
  JudgeTiming();
  note = player::TakeGuideNote(note);
  velocity = player::GuideVelocity();  // the velocity of the new guide note
  if (player::GuideNote() < player::kGuideEndNoticed) {
    DrawPianoKey(player::LastShownGuideNote() - kPianoLowestNote, kKeyLookUp);
    DrawPianoKey(player::GuideNote() - kPianoLowestNote, kKeyLookLit);
    player::SetLastShownGuideNote(player::GuideNote());
  }
  return true;
}

int PlayComputerKeyboard() {
  app::ReadKeyState(kKeyShift, shiftState);
  app::ReadKeyState(kKeyControl, controlState);
  const auto down = [](int state) { return state == app::kKeyPressed || state == app::kKeyHeld; };
  const int octave = kNormalOctave + (down(shiftState) ? 1 : 0) - (down(controlState) ? 1 : 0);
  int sent = 0;
  for (int i = 0; i < kNoteKeyCount; ++i) {
    app::ReadKeyState(kNoteKeys[i], keyState[i]);
    if (keyState[i] == app::kKeyHeld && !sounding[i]) {
      int note = std::clamp((octave + 2) * 12 + i, 0, 127);
      int velocity = kKeyboardVelocity;
      if (player::IsGuidePerformed() == 1 && !TakeGuide(note, velocity)) break;
      soundingNote[i] = static_cast<std::uint8_t>(note & 0x7F);
      SendNote(soundingNote[i], static_cast<std::uint8_t>(velocity & 0x7F));
      AdvanceLyricWord();
      sounding[i] = true;
      sent = 1;
    } else if (keyState[i] != app::kKeyHeld && sounding[i]) {
      SendNote(soundingNote[i], 0);
      sounding[i] = false;
      sent = 1;
    }
  }
  return sent;
}

}  // namespace game
