#include "game/piano_input.h"

#include <cstddef>
#include <deque>

#include "base/module_state.h"
#include "game/computer_keyboard.h"
#include "game/midi_keyboard.h"
#include "platform/platform.h"

namespace game {

// The computer keyboard's key events not played yet, oldest first.
namespace {
struct KeyEvent {
  int virtualKey;
  bool down;
  std::uint32_t ms;
};
struct State {
  std::deque<KeyEvent> keys;
};
base::ModuleState<State> state;
}  // namespace

// A frame takes at most this many MIDI events, so that a flood from a
// keyboard (or a program sending into our port) cannot hold up the frame;
// the rest wait for the next frames. Far more than two hands play in a frame.
constexpr int kMidiEventsPerFrame = 64;
// Key events wait a frame pass at most; past this many (no pass runs) the
// oldest are kept unplayed.
constexpr std::size_t kKeyEventsKept = 256;

void TakePianoKey(int virtualKey, bool down, std::uint32_t ms) {
  if (!IsPianoKey(virtualKey)) return;
  if (state.keys.size() >= kKeyEventsKept) {
    KeepComputerKey(state.keys.front().virtualKey, state.keys.front().down, state.keys.front().ms);
    state.keys.pop_front();
  }
  state.keys.push_back({virtualKey, down, ms});
}

void SetAsidePianoKeys() {
  for (const KeyEvent& key : state.keys) KeepComputerKey(key.virtualKey, key.down, key.ms);
  state.keys.clear();
}

// Whether a MIDI event at `midiMs` came before a key event at `keyMs`
// (on a wrapping clock); at the same moment the key goes first.
static bool Before(std::uint32_t midiMs, std::uint32_t keyMs) {
  return static_cast<std::int32_t>(midiMs - keyMs) < 0;
}

void PlayPianoInput() {
  int midiTaken = 0;
  platform::MidiInputEvent midi{};
  const auto takeMidi = [&midi, &midiTaken] { return midiTaken++ < kMidiEventsPerFrame && platform::PollMidiInput(midi); };
  bool midiWaiting = takeMidi();
  for (const KeyEvent& key : state.keys) {
    for (; midiWaiting && Before(midi.ms, key.ms); midiWaiting = takeMidi()) PlayMidiEvent(midi);
    PlayComputerKey(key.virtualKey, key.down, key.ms);
  }
  state.keys.clear();
  for (; midiWaiting; midiWaiting = takeMidi()) PlayMidiEvent(midi);
  RetryHeldKeys();
}

}  // namespace game
