// Physical keys (SDL scancodes) to the Windows virtual-key codes the program
// names keys by, so the twenty note keys keep their shape on any layout.
#pragma once

#include <SDL.h>

namespace platform::desktop {

// The virtual-key code of a physical key, or 0 for a key the program ignores.
int VirtualKeyOf(SDL_Scancode scancode);

// The letter ('A' to 'Z') a key types on the user's layout, or 0. A layout
// whose letters are not Latin (Cyrillic, Greek) types the letter of the
// key's place, so a name can still be typed.
int LetterTyped(SDL_Keycode keycode, SDL_Scancode scancode);

// The physical keys of a virtual key (at most two: the backslash key and
// the key left of Enter on ISO keyboards share one), in scancode order;
// returns how many.
int ScancodesOf(int virtualKey, SDL_Scancode keys[2]);

// Whether a virtual key is down in SDL's keyboard state.
bool VirtualKeyDown(int virtualKey);

}  // namespace platform::desktop
