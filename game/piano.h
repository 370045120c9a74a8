// The piano's one way to start and end a note, shared by the computer
// keyboard and a MIDI keyboard: the chosen part's instrument, on its
// channel and port (channel 1 of port 0 for a song without parts), and in
// training and game the player's way to take each note of the guide track.
#pragma once

#include <cstdint>

namespace game {

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
// next word. `started` is the note sent. While the song is stopped, the
// first note after a run or after the part changed sends the part's
// program first, so the keys sound its instrument. `pressMs` is the moment
// (platform time) the key went down, which the press is judged from.
PianoPress StartPianoNote(PianoInput input, int pressedNote, int velocity, std::uint8_t& started,
                          std::uint32_t pressMs);
// Ends a note that StartPianoNote started, on the channel and port it
// started on (the part may have changed meanwhile).
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
// Passes a sustain pedal value on to the chosen part's channel and port;
// the pedal held goes up where it went down.
void SendPianoPedal(int value);
// A run may have set other programs: the next note played while stopped
// sends the part's program again.
void ForgetKeyboardInstrument();

}  // namespace game
