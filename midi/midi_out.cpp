#include "midi/midi_out.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/module_state.h"
#include "platform/platform.h"

namespace midi {

struct PortSlot {
  platform::MidiOutDevice* device;
  char name[32];
};

// The port table, and the exclusive buffer shared by every port. The buffer
// is static: it can never fail to be allocated.
namespace {
struct State {
  PortSlot portTable[kPortSlots]{};
  int portCount = 0;
  std::uint8_t exclusiveBuffer[kExclusiveBufferSize]{};
    platform::MidiOutDevice* exclusiveInFlight = nullptr;
};
base::ModuleState<State> state;
}  // namespace
// The device that may still be reading the exclusive buffer.

int PortCount() { return state.portCount; }

bool WaitForPortsReady(std::uint32_t timeoutMs) {
  const std::uint32_t started = platform::TimeMs();
  bool allReady = true;
  for (int port = 0; port < state.portCount; ++port) {
    const std::uint32_t spent = platform::TimeMs() - started;
    if (!platform::WaitMidiOutReady(state.portTable[port].device, spent < timeoutMs ? timeoutMs - spent : 0))
      allReady = false;
  }
  return allReady;
}
const char* PortName(int port) { return (port >= 0 && port < state.portCount) ? state.portTable[port].name : ""; }

// Opens a device into the slot at `count`; true when it took the slot. A
// device whose capabilities cannot be read is closed again.
static bool OpenIntoSlot(int deviceNumber, int count) {
  platform::MidiOutDevice* device = platform::OpenMidiOut(deviceNumber);
  if (device == nullptr) return false;
  std::string name;
  if (!platform::MidiOutName(deviceNumber, name)) {
    if (deviceNumber != platform::kMidiMapper) {
      platform::CloseMidiOut(device);
      return false;
    }
    name = "MIDI mapper";  // the mapper keeps its slot whatever its capabilities say
  }
  PortSlot& slot = state.portTable[count];
  slot.device = device;
  std::memset(slot.name, 0, sizeof slot.name);
  std::memcpy(slot.name, name.data(), std::min(name.size(), sizeof slot.name - 1));
  return true;
}

int OpenMidiOutPorts(const char* startUpSong) {
  std::memset(state.exclusiveBuffer, 0, sizeof state.exclusiveBuffer);
  state.exclusiveInFlight = nullptr;
  state.portCount = 0;
  const int devices = std::min(platform::MidiOutDeviceCount(), kPortSlots);
  if (devices < 1) return 0;

  const bool probed = platform::ProbeSequencer(startUpSong[0] != '\0' ? startUpSong : kProbeSongName);
  int count = 0;
  if (probed && OpenIntoSlot(platform::kMidiMapper, count)) ++count;
  for (int device = 0; device < devices && count < kPortSlots; ++device)
    if (OpenIntoSlot(device, count)) ++count;
  state.portCount = count;
  return 0;
}

void ResetMidiOut() {
  CloseMidiOutPorts();
  state.Reset();
}

int CloseMidiOutPorts() {
  int result = 0;
  for (int port = 0; port < state.portCount; ++port) {
    PortSlot& slot = state.portTable[port];
    if (slot.device == nullptr) continue;
    platform::WaitMidiOutLongDone(slot.device, kExclusiveWaitMs);
    platform::ResetMidiOut(slot.device);
    result = platform::CloseMidiOut(slot.device);
    slot.device = nullptr;
  }
  state.portCount = 0;
  state.exclusiveInFlight = nullptr;
  return result;
}

static bool IsOpenPort(int port) { return port >= 0 && port < state.portCount; }

int PortLatencyMs(int port) {
  return IsOpenPort(port) ? platform::MidiOutLatencyMs(state.portTable[port].device) : platform::kLatencyUnknown;
}

int SendShortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int port) {
  if (!IsOpenPort(port)) return 1;
  const std::uint32_t packed = status | (static_cast<std::uint32_t>(data1) << 8) | (static_cast<std::uint32_t>(data2) << 16);
  return platform::SendMidiOutShort(state.portTable[port].device, packed);
}

// Error code of a message dropped because the device still held the buffer.
static constexpr int kStillPlaying = 65;

int SendExclusiveMessage(const std::uint8_t* message, std::uint32_t length, int port) {
  if (length > kExclusiveBufferSize) return 0;
  if (!IsOpenPort(port)) return 1;
  // Never overwrite the buffer while a device may still be reading it.
  if (state.exclusiveInFlight != nullptr && !platform::WaitMidiOutLongDone(state.exclusiveInFlight, kExclusiveWaitMs))
    return kStillPlaying;
  std::memmove(state.exclusiveBuffer, message, length);
  state.exclusiveInFlight = state.portTable[port].device;
  return platform::SendMidiOutLong(state.portTable[port].device, state.exclusiveBuffer, length);
}

int SendMidiMessage(int port, const std::uint8_t* message, int length) {
  if (!IsOpenPort(port)) return 1;
  if (length == 1) SendShortMessage(message[0], 0, 0, port);
  else if (length == 2) SendShortMessage(message[0], message[1], 0, port);
  else if (length == 3) SendShortMessage(message[0], message[1], message[2], port);
  else if (length > 3) SendExclusiveMessage(message, static_cast<std::uint32_t>(length), port);
  return 0;
}

}  // namespace midi
