#include "game/computer_keyboard.h"

#include <algorithm>
#include <cstdint>

#include "base/module_state.h"
#include "game/piano.h"
#include "game/press_record.h"
#include "platform/platform.h"
#include "scene/input.h"

namespace game {

// Each note key's state for ReadKeyState, whether it sounds, and the note it
// started (its note-off ends exactly that note); the octave keys' states.
namespace {
struct State {
  int keyState[kNoteKeyCount]{};
  bool sounding[kNoteKeyCount]{};
  std::uint8_t soundingNote[kNoteKeyCount]{};
  // The moment each key was first seen down, and whether a game refused
  // it since (a key taken after a refusal counts as pressed when taken).
  std::uint32_t downAt[kNoteKeyCount]{};
  bool refused[kNoteKeyCount]{};
  int shiftState = 0;
  int controlState = 0;
};
base::ModuleState<State> state;
}  // namespace

static constexpr int kNormalOctave = 3;

bool KeySounding(int i) { return state.sounding[i]; }

int NoteInReach(int note) {
  constexpr int kOctave = 12;
  while (note < kLowestNoteInReach) note += kOctave;
  while (note > kHighestNoteInReach) note -= kOctave;
  return note;
}

int PlayComputerKeyboard() {
  scene::ReadKeyState(platform::vk::kShift, state.shiftState);
  scene::ReadKeyState(platform::vk::kControl, state.controlState);
  const auto down = [](int keyState) { return keyState == scene::kKeyPressed || keyState == scene::kKeyHeld; };
  const int octave = kNormalOctave + (down(state.shiftState) ? 1 : 0) - (down(state.controlState) ? 1 : 0);
  int sent = 0;
  for (int i = 0; i < kNoteKeyCount; ++i) {
    const bool wasDown = down(state.keyState[i]);
    scene::ReadKeyState(kNoteKeys[i], state.keyState[i]);
    // A key let go and pressed again at once reads held, not pressed: it
    // is a new press all the same.
    if (down(state.keyState[i]) && !wasDown) {
      state.downAt[i] = platform::TimeMs();
      state.refused[i] = false;
    }
    if (state.keyState[i] == scene::kKeyHeld && !state.sounding[i]) {
      const int note = std::clamp((octave + 2) * 12 + i, 0, 127);
      if (!state.refused[i]) SetPressMoment(state.downAt[i]);
      const PianoPress press = StartPianoNote(PianoInput::ComputerKeyboard, note, kKeyboardVelocity, state.soundingNote[i]);
      ClearPressMoment();
      state.refused[i] = press != PianoPress::Sounded;
      // A game's refusal of a wrong key ends this frame's scan: a held
      // wrong key blocks the keys after it.
      if (press == PianoPress::RefusedBlocking) break;
      if (press != PianoPress::Sounded) continue;
      state.sounding[i] = true;
      sent = 1;
    } else if (state.keyState[i] != scene::kKeyHeld && state.sounding[i]) {
      EndPianoNote(state.soundingNote[i]);
      state.sounding[i] = false;
      sent = 1;
    }
  }
  return sent;
}

}  // namespace game
