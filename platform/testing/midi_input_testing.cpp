// The testing backend's MIDI input: a scripted queue of events.
#include "platform/testing/testing.h"

namespace platform {

// The events a test sent, and whether the input is open.
static std::deque<MidiInputEvent> scriptedInput;
static bool inputOpen = false;

void OpenMidiInput() { inputOpen = true; }
void CloseMidiInput() {
  inputOpen = false;
  scriptedInput.clear();
}

bool PollMidiInput(MidiInputEvent& event) {
  if (scriptedInput.empty()) return false;
  event = scriptedInput.front();
  scriptedInput.pop_front();
  return true;
}

int MidiInputCount() { return inputOpen ? 1 : 0; }
bool MidiInputName(int index, std::string& name) {
  if (index != 0 || !inputOpen) return false;
  name = "Test keyboard";
  return true;
}

namespace testing {

void ResetMidiInput() {
  scriptedInput.clear();
  inputOpen = false;
}
void PushMidiInput(const MidiInputEvent& event) { scriptedInput.push_back(event); }
std::size_t PendingMidiInput() { return scriptedInput.size(); }
bool MidiInputOpen() { return inputOpen; }

}  // namespace testing
}  // namespace platform
