// The twenty-key piano played on the computer keyboard, by key position,
// with Shift and Ctrl for the octaves.
#pragma once

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

// Reads the octave keys and the note keys and sends what they start and
// end; returns 1 when it sent anything this frame.
int PlayComputerKeyboard();

// Whether note key i sounds now.
bool KeySounding(int i);

}  // namespace game
