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

// Reads the octave keys and the note keys and sends what they start and
// end; returns 1 when it sent anything this frame.
int PlayComputerKeyboard();

// Whether note key i sounds now.
bool KeySounding(int i);

void ResetComputerKeyboard();

}  // namespace game
