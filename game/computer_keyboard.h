// The twenty-key piano played on the computer keyboard, by key position,
// with Shift and Ctrl for the octaves. Its state (which keys are down, the
// octave keys, when each key went down) comes from key events only.
#pragma once

#include <cstdint>

#include "platform/virtual_keys.h"

namespace game {

inline constexpr int kNoteKeyCount = 20;
// The note keys by Windows virtual-key code, key i standing for the
// semitone i above the piano's lowest note.
inline constexpr int kNoteKeys[kNoteKeyCount] = {'A', 'W', 'S', 'E', 'D', 'F', 'T', 'G', 'Y', 'H',
                                                 'U', 'J', 'K', 'O', 'L', 'P', platform::vk::kRightOfL,
                                                 platform::vk::kTwoRightOfL, platform::vk::kTwoRightOfP,
                                                 platform::vk::kThreeRightOfL};
inline constexpr int kKeyboardVelocity = 100;
// The notes the keys reach: an octave down with Ctrl, an octave up with Shift.
inline constexpr int kLowestNoteInReach = 48;
inline constexpr int kHighestNoteInReach = 91;

// The note in reach that stands for `note` (0..127): the note itself, or
// the note moved by whole octaves into the reach. A guide note beyond the
// reach is played with the key of that note.
int NoteInReach(int note);

// The key map, both ways: note key `index` (0..19) plays the note
// NoteOfKey(index, octave), an octave up with Shift (octave 1) and down
// with Ctrl (-1); KeyOfNote gives the key and the octave key (Shift, Ctrl or
// none: 0) that play `note` moved into the reach.
int NoteOfKey(int index, int octave);
struct KeyOfNoteResult {
  int index;
  int octaveKey;
};
KeyOfNoteResult KeyOfNote(int note);

// Whether the piano takes the key's events: a note key, Shift or Ctrl.
bool IsPianoKey(int virtualKey);
// Keeps what a key event says (the key down since `ms`, or up) without
// playing it; a key let go ends its note.
void KeepComputerKey(int virtualKey, bool down, std::uint32_t ms);
// Keeps a key event and plays it: a note key that went down starts its
// note at the octave Shift and Ctrl give now, judged from `ms`, unless a
// held wrong key earlier in the key table blocks it.
void PlayComputerKey(int virtualKey, bool down, std::uint32_t ms);
// Tries again, in key table order, each held key that does not sound and
// was not tried since the last call (a game may take it now); a game's
// refusal of a wrong key ends the round, as it blocks the keys after it.
void RetryHeldKeys();

// Whether note key i sounds now.
bool KeySounding(int i);

}  // namespace game
