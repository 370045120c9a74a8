// The piano's one way to start and end a note, shared by the computer
// keyboard and a MIDI keyboard: an instrument on MIDI channel 1, and in
// training and game the player's way to take each note of the guide track.
#pragma once

#include <cstdint>

namespace game {

inline constexpr int kKeyboardChannel = 0;

// Where a press comes from. The computer keyboard reaches notes 48 to 91
// only, so a game takes from it the key of the guide note moved into that
// reach; a MIDI keyboard must play the guide note itself.
enum class PianoInput { ComputerKeyboard, MidiKeyboard };

// Starts the note a key press asks for. In a performance the press takes the
// guide note (judged first) and sounds it with the next guide note's
// velocity; a game refuses any note but the guide note's (false, nothing
// sent). The lyric bar lights its next word. `started` is the note sent.
bool StartPianoNote(PianoInput input, int pressedNote, int velocity, std::uint8_t& started);
// Ends a note that StartPianoNote started.
void EndPianoNote(std::uint8_t started);
// Draws the key that plays a guide note (0..127) in a look: the key of the
// note moved into the computer keyboard's reach, with the arrow look when
// that note lies an octave beyond the twenty keys. Other values draw nothing.
void DrawGuideKey(int guideNote, int look);
// Passes a sustain pedal value on to port 0.
void SendPianoPedal(int value);

}  // namespace game
