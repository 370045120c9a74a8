// The piano's one way to start and end a note, shared by the computer
// keyboard and a MIDI keyboard: an instrument on MIDI channel 1, and in
// training and game the player's way to take each note of the guide track.
#pragma once

#include <cstdint>

namespace game {

inline constexpr int kKeyboardChannel = 0;

// Starts the note a key press asks for. In a performance the press takes the
// guide note (judged first) and sounds it with the next guide note's
// velocity; a game refuses any note but the guide note's (false, nothing
// sent). The lyric bar lights its next word. `started` is the note sent.
bool StartPianoNote(int pressedNote, int velocity, std::uint8_t& started);
// Ends a note that StartPianoNote started.
void EndPianoNote(std::uint8_t started);
// Passes a sustain pedal value on to port 0.
void SendPianoPedal(int value);

}  // namespace game
