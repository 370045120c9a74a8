#include "game/computer_keyboard.h"

#include <algorithm>

#include "base/module_state.h"
#include "game/piano.h"
#include "game/piano_keys.h"
#include "platform/platform.h"

namespace game {

// Each note key: whether it is down and since when, whether it sounds and
// the note it started (its note-off ends exactly that note), and what a
// game made of its last try; the octave keys.
namespace {
struct State {
  bool down[kNoteKeyCount]{};
  std::uint32_t downAt[kNoteKeyCount]{};
  bool sounding[kNoteKeyCount]{};
  std::uint8_t soundingNote[kNoteKeyCount]{};
  // Refused since it went down: a key taken after a refusal counts as
  // pressed when taken.
  bool refused[kNoteKeyCount]{};
  // Refused as a wrong key: while held it blocks the keys after it.
  bool blocking[kNoteKeyCount]{};
  bool triedThisRound[kNoteKeyCount]{};
  bool shiftDown = false;
  bool controlDown = false;
};
base::ModuleState<State> state;
}  // namespace


bool KeySounding(int i) { return state.sounding[i]; }

int NoteInReach(int note) {
  constexpr int kOctave = 12;
  while (note < kLowestNoteInReach) note += kOctave;
  while (note > kHighestNoteInReach) note -= kOctave;
  return note;
}

static int NoteKeyIndex(int virtualKey) {
  const int* key = std::find(std::begin(kNoteKeys), std::end(kNoteKeys), virtualKey);
  return key == std::end(kNoteKeys) ? -1 : static_cast<int>(key - std::begin(kNoteKeys));
}

bool IsPianoKey(int virtualKey) {
  return virtualKey == platform::vk::kShift || virtualKey == platform::vk::kControl || NoteKeyIndex(virtualKey) >= 0;
}

static void EndKeyNote(int i) {
  if (!state.sounding[i]) return;
  EndPianoNote(state.soundingNote[i]);
  state.sounding[i] = false;
}

void KeepComputerKey(int virtualKey, bool down, std::uint32_t ms) {
  if (virtualKey == platform::vk::kShift) state.shiftDown = down;
  if (virtualKey == platform::vk::kControl) state.controlDown = down;
  const int i = NoteKeyIndex(virtualKey);
  if (i < 0 || down == state.down[i]) return;  // a repeat, or an octave key
  state.down[i] = down;
  state.refused[i] = state.blocking[i] = state.triedThisRound[i] = false;
  if (down) state.downAt[i] = ms;
  else EndKeyNote(i);
}

int NoteOfKey(int index, int octave) { return std::clamp(kPianoLowestNote + 12 * octave + index, 0, 127); }

KeyOfNoteResult KeyOfNote(int note) {
  const int reached = NoteInReach(note);
  if (reached < NoteOfKey(0, 0)) return {reached - NoteOfKey(0, -1), platform::vk::kControl};
  if (reached >= NoteOfKey(kNoteKeyCount, 0)) return {reached - NoteOfKey(0, 1), platform::vk::kShift};
  return {reached - NoteOfKey(0, 0), 0};
}

static void TryKey(int i) {
  const int note = NoteOfKey(i, (state.shiftDown ? 1 : 0) - (state.controlDown ? 1 : 0));
  const std::uint32_t pressMs = state.refused[i] ? platform::TimeMs() : state.downAt[i];
  const PianoPress press =
      StartPianoNote(PianoInput::ComputerKeyboard, note, kKeyboardVelocity, state.soundingNote[i], pressMs);
  state.triedThisRound[i] = true;
  state.sounding[i] = press == PianoPress::Sounded;
  state.refused[i] = press != PianoPress::Sounded;
  state.blocking[i] = press == PianoPress::RefusedBlocking;
}

static bool HeldWrongKeyBefore(int i) {
  for (int j = 0; j < i; ++j)
    if (state.down[j] && state.blocking[j]) return true;
  return false;
}

void PlayComputerKey(int virtualKey, bool down, std::uint32_t ms) {
  KeepComputerKey(virtualKey, down, ms);
  const int i = NoteKeyIndex(virtualKey);
  if (down && i >= 0 && state.down[i] && !state.sounding[i] && !HeldWrongKeyBefore(i))
    TryKey(i);
}

void RetryHeldKeys() {
  for (int i = 0; i < kNoteKeyCount; ++i) {
    if (!state.down[i] || state.sounding[i]) continue;
    if (!state.triedThisRound[i]) TryKey(i);
    if (state.blocking[i]) break;
  }
  std::fill(std::begin(state.triedThisRound), std::end(state.triedThisRound), false);
}

}  // namespace game
