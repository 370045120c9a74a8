#include "game/computer_keyboard.h"

#include <algorithm>
#include <cstdint>

#include "game/piano.h"
#include "scene/input.h"

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

int PlayComputerKeyboard() {
  scene::ReadKeyState(kKeyShift, shiftState);
  scene::ReadKeyState(kKeyControl, controlState);
  const auto down = [](int state) { return state == scene::kKeyPressed || state == scene::kKeyHeld; };
  const int octave = kNormalOctave + (down(shiftState) ? 1 : 0) - (down(controlState) ? 1 : 0);
  int sent = 0;
  for (int i = 0; i < kNoteKeyCount; ++i) {
    scene::ReadKeyState(kNoteKeys[i], keyState[i]);
    if (keyState[i] == scene::kKeyHeld && !sounding[i]) {
      const int note = std::clamp((octave + 2) * 12 + i, 0, 127);
      // A game's refusal ends this frame's scan: a held wrong key blocks
      // the keys after it.
      if (!StartPianoNote(note, kKeyboardVelocity, soundingNote[i])) break;
      sounding[i] = true;
      sent = 1;
    } else if (keyState[i] != scene::kKeyHeld && sounding[i]) {
      EndPianoNote(soundingNote[i]);
      sounding[i] = false;
      sent = 1;
    }
  }
  return sent;
}

}  // namespace game
