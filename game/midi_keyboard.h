// A MIDI keyboard as a second way into the piano: its notes start and end
// piano notes exactly as the computer keys do, with the player's velocity
// where the note is the player's own.
#pragma once

#include "platform/platform.h"

namespace game {

// Plays one event of the keyboard; a note-on is judged from its moment.
void PlayMidiEvent(const platform::MidiInputEvent& event);
// Drops the events that arrived while the main screen was not there.
void DiscardMidiInput();

}  // namespace game
