#include "game/midi_keyboard.h"

#include <cstdint>

#include "base/module_state.h"
#include "game/piano.h"
#include "platform/platform.h"

namespace game {

// For each channel and note of the keyboard, whether its note-on started a
// piano note and which (the guide's note in a performance): its note-off
// ends exactly that one.
namespace {
struct State {
  bool started[16][128]{};
  std::uint8_t startedNote[16][128]{};
};
base::ModuleState<State> state;
}  // namespace

// Discarding is cheap, but a source that never stops must not hold the
// scene change up.
constexpr int kDiscardedPerFrame = 4096;

void DiscardMidiInput() {
  platform::MidiInputEvent event;
  for (int taken = 0; taken < kDiscardedPerFrame && platform::PollMidiInput(event); ++taken) {
  }
}

void PlayMidiEvent(const platform::MidiInputEvent& e) {
  const int c = e.channel & 15, n = e.note & 127;
  switch (e.kind) {
    case platform::MidiInputEvent::NoteOn:
      // A note pressed again before its release ends the first one.
      if (state.started[c][n]) EndPianoNote(state.startedNote[c][n]);
      state.started[c][n] = StartPianoNote(PianoInput::MidiKeyboard, n, e.value, state.startedNote[c][n], e.ms) ==
                            PianoPress::Sounded;
      break;
    case platform::MidiInputEvent::NoteOff:
      if (state.started[c][n]) EndPianoNote(state.startedNote[c][n]);
      state.started[c][n] = false;
      break;
    case platform::MidiInputEvent::Sustain:
      SendPianoPedal(e.value);
      break;
  }
}

}  // namespace game
