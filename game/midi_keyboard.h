// A MIDI keyboard as a second way into the piano: its notes start and end
// piano notes exactly as the computer keys do, with the player's velocity
// where the note is the player's own.
#pragma once

namespace game {

// Takes the MIDI input events that arrived since the last frame pass, up
// to a frame's share; the rest wait for the next passes.
void PlayMidiKeyboard();
// Drops the events that arrived while the main screen was not there.
void DiscardMidiInput();

}  // namespace game
