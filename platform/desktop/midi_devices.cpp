// MIDI output devices on the desktop: device 0 is the built-in synthesizer
// when it can sound, the ALSA sequencer's destinations follow, and the
// mapper is the synthesizer (or, without it, the first sequencer port).
#include "platform/desktop/sequencer.h"
#include "platform/desktop/synthesizer.h"
#include "platform/platform.h"

namespace platform {

struct MidiOutDevice {
  bool synthesizer;
  desktop::SequencerLink* link;
};

// Whether device 0 is the synthesizer, decided when the devices are counted.
static bool synthesizerIsDevice0 = false;

// The sequencer destination index of a device number, or -1 for the synth.
static int SequencerIndex(int deviceNumber) {
  if (deviceNumber == kMidiMapper) return synthesizerIsDevice0 ? -1 : 0;
  return synthesizerIsDevice0 ? deviceNumber - 1 : deviceNumber;
}

int MidiOutDeviceCount() {
  desktop::SilenceAlsaErrors();
  synthesizerIsDevice0 = desktop::SynthesizerAvailable();
  return (synthesizerIsDevice0 ? 1 : 0) + desktop::SequencerDestinationCount();
}

MidiOutDevice* OpenMidiOut(int deviceNumber) {
  const int index = SequencerIndex(deviceNumber);
  if (index < 0) return desktop::OpenSynthesizer() ? new MidiOutDevice{true, nullptr} : nullptr;
  desktop::SequencerLink* link = desktop::OpenSequencerLink(index);
  return link ? new MidiOutDevice{false, link} : nullptr;
}

bool MidiOutName(int deviceNumber, std::string& name) {
  const int index = SequencerIndex(deviceNumber);
  if (index < 0) name = desktop::SynthesizerName();
  else if (!desktop::SequencerDestinationName(index, name)) return false;
  if (deviceNumber == kMidiMapper) name = ("Mapper: " + name).substr(0, 31);
  return true;
}

int SendMidiOutShort(MidiOutDevice* device, std::uint32_t packed) {
  if (device->synthesizer) desktop::SynthesizerShort(packed);
  else desktop::SequencerShort(device->link, packed);
  return 0;
}

int SendMidiOutLong(MidiOutDevice* device, const std::uint8_t* bytes, std::uint32_t length) {
  return device->synthesizer ? desktop::SynthesizerSysEx(bytes, length) : desktop::SequencerSysEx(device->link, bytes, length);
}

// Both outputs take the message before they return.
bool WaitMidiOutLongDone(MidiOutDevice*, std::uint32_t) { return true; }

bool WaitMidiOutReady(MidiOutDevice* device, std::uint32_t timeoutMs) {
  return !device->synthesizer || desktop::WaitForSynthesizerFont(timeoutMs);
}

int ResetMidiOut(MidiOutDevice* device) {
  if (device->synthesizer) desktop::SynthesizerReset();
  else desktop::SequencerReset(device->link);
  return 0;
}

int MidiOutLatencyMs(MidiOutDevice* device) {
  if (!device->synthesizer) return kLatencyUnknown;
  return static_cast<int>(desktop::SynthesizerLatencyMs() + 0.5);
}

int CloseMidiOut(MidiOutDevice* device) {
  if (device->synthesizer) desktop::CloseSynthesizer();
  else desktop::CloseSequencerLink(device->link);
  delete device;
  return 0;
}

}  // namespace platform
