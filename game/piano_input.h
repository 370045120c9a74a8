// The one way input reaches the piano: the computer keyboard's note and
// octave keys and the MIDI keyboard's events, played in the order they
// happened, each judged from its own moment.
#pragma once

#include <cstdint>

namespace game {

// Keeps a key event for the next PlayPianoInput; keys the piano does not
// play are ignored. `ms` is when it happened (platform time).
void TakePianoKey(int virtualKey, bool down, std::uint32_t ms);
// Plays the key events taken and the MIDI keyboard's events that arrived
// (a frame's share of them), in the order they happened, then tries again
// the held keys that do not sound. Called on the main screen only, which
// has no wipe of its own while it runs.
void PlayPianoInput();
// Keeps what the key events taken say without playing them: the keys
// pressed while the main screen is not there sound nothing.
void SetAsidePianoKeys();

}  // namespace game
