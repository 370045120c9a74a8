// The testing backend's MIDI input: a scripted queue of events.
#include "platform/common/midi_input_queue.h"
#include "platform/testing/testing.h"

namespace platform {

// The events a test sent, kept as the desktop keeps what arrives, and
// whether the input is open.
static MidiInputQueue scriptedInput;
static bool inputOpen = false;

void OpenMidiInput() { inputOpen = true; }
void CloseMidiInput() {
  inputOpen = false;
  scriptedInput.Clear();
}

bool PollMidiInput(MidiInputEvent& event) {
  return scriptedInput.Pop(event);
}

int MidiInputCount() { return inputOpen ? 1 : 0; }
bool MidiInputName(int index, std::string& name) {
  if (index != 0 || !inputOpen) return false;
  name = "Test keyboard";
  return true;
}

namespace testing {

void ResetMidiInput() {
  scriptedInput.Clear();
  inputOpen = false;
}
void PushMidiInput(MidiInputEvent event) {
  event.ms = TimeMs();
  scriptedInput.Push(event);
}
std::size_t PendingMidiInput() { return scriptedInput.Size(); }
bool MidiInputOpen() { return inputOpen; }

}  // namespace testing
}  // namespace platform
