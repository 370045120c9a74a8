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

// What became of a press.
enum class PianoPress {
  Sounded,
  // A game refused a note outside the guide's chord: nothing was sent, and
  // the computer keyboard examines no later key this frame.
  RefusedBlocking,
  // A game refused a note of the chord that was already taken: nothing was
  // sent, and later keys are still examined (a held chord key never blocks
  // another).
  RefusedChordNoteTaken,
};

// Starts the note a key press asks for. In a performance the press takes a
// note of the guide's chord (judged first: the one the key plays, else the
// first waiting) and sounds it with the next guide note's velocity; a game
// refuses any note but the chord's waiting ones. The lyric bar lights its
// next word. `started` is the note sent.
PianoPress StartPianoNote(PianoInput input, int pressedNote, int velocity, std::uint8_t& started);
// Ends a note that StartPianoNote started.
void EndPianoNote(std::uint8_t started);
// Draws the key that plays a guide note (0..127) in a look: the key of the
// note moved into the computer keyboard's reach, with the arrow look when
// that note lies an octave beyond the twenty keys. Other values draw nothing.
void DrawGuideKey(int guideNote, int look);
// Lights the keys of the guide chord's waiting notes.
void LightGuideChord();
// The notes to play next lit, and remembered as the last shown: the
// chord's waiting notes, or in a loop's tail the passage's first note.
void LightNextGuideNotes();
// Passes a sustain pedal value on to port 0.
void SendPianoPedal(int value);

}  // namespace game
