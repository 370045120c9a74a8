// MIDI output on the desktop: no devices yet.
#include "platform/platform.h"

namespace platform {

struct MidiOutDevice {};

int MidiOutDeviceCount() { return 0; }
MidiOutDevice* OpenMidiOut(int) { return nullptr; }
bool MidiOutName(int, std::string&) { return false; }
int SendMidiOutShort(MidiOutDevice*, std::uint32_t) { return 0; }
int SendMidiOutLong(MidiOutDevice*, const std::uint8_t*, std::uint32_t) { return 0; }
bool WaitMidiOutLongDone(MidiOutDevice*, std::uint32_t) { return true; }
int ResetMidiOut(MidiOutDevice*) { return 0; }
int CloseMidiOut(MidiOutDevice*) { return 0; }

}  // namespace platform
