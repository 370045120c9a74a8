// The testing backend's MIDI output: recording devices and a scripted probe.
#include <algorithm>
#include <memory>

#include "platform/testing/testing.h"

namespace platform {

struct MidiOutDevice {
  int number;
  bool longPending;
};

// The devices the test configured, those open now, and every call's record.
static testing::MidiDeviceSetup setup;
static std::vector<std::unique_ptr<MidiOutDevice>> openDevices;
static std::vector<testing::MidiLogEntry> midiLog;
static std::string lastProbePath;
static int longDoneWaits = 0;

static bool Listed(const std::vector<int>& list, int number) {
  return std::find(list.begin(), list.end(), number) != list.end();
}

static void Log(testing::MidiLogEntry::Kind kind, const MidiOutDevice* device, std::vector<std::uint8_t> bytes,
                std::uint32_t packed = 0) {
  midiLog.push_back({kind, TimeMs(), device ? device->number : 0, std::move(bytes), packed});
}

int MidiOutDeviceCount() { return setup.count; }

MidiOutDevice* OpenMidiOut(int number) {
  const bool exists = number == kMidiMapper ? setup.mapperOpens : (number >= 0 && number < setup.count);
  if (!exists || Listed(setup.failingOpens, number)) return nullptr;
  openDevices.push_back(std::make_unique<MidiOutDevice>(MidiOutDevice{number, false}));
  Log(testing::MidiLogEntry::Open, openDevices.back().get(), {});
  return openDevices.back().get();
}

bool MidiOutName(int number, std::string& name) {
  if (Listed(setup.unreadable, number)) return false;
  name = number == kMidiMapper ? "Test mapper" : "Test device " + std::to_string(number);
  return true;
}

// The length a receiver reads from a packed message's status byte.
static std::size_t ShortLength(std::uint8_t status) {
  if (status >= 0xC0 && status <= 0xDF) return 2;
  if (status < 0xF0) return 3;
  if (status == 0xF1 || status == 0xF3) return 2;
  return status == 0xF2 ? 3 : 1;
}

int SendMidiOutShort(MidiOutDevice* device, std::uint32_t packed) {
  const auto status = static_cast<std::uint8_t>(packed & 0xFF);
  std::vector<std::uint8_t> bytes{status, static_cast<std::uint8_t>(packed >> 8), static_cast<std::uint8_t>(packed >> 16)};
  bytes.resize(ShortLength(status));
  Log(testing::MidiLogEntry::Short, device, bytes, packed);
  return 0;
}

int SendMidiOutLong(MidiOutDevice* device, const std::uint8_t* bytes, std::uint32_t length) {
  Log(testing::MidiLogEntry::Long, device, std::vector<std::uint8_t>(bytes, bytes + length));
  device->longPending = true;
  return 0;
}

bool WaitMidiOutLongDone(MidiOutDevice* device, std::uint32_t /*timeoutMs*/) {
  ++longDoneWaits;
  if (!device->longPending) return true;
  if (setup.longMessagesNeverFinish) return false;
  device->longPending = false;
  return true;
}

bool WaitMidiOutReady(MidiOutDevice*, std::uint32_t timeoutMs) {
  const std::uint32_t now = TimeMs();
  if (static_cast<std::int32_t>(setup.readyAtMs - now) <= 0) return true;
  const std::uint32_t wait = setup.readyAtMs - now;
  testing::AdvanceTime(wait <= timeoutMs ? wait : timeoutMs);
  return wait <= timeoutMs;
}

int ResetMidiOut(MidiOutDevice* device) {
  Log(testing::MidiLogEntry::Reset, device, {});
  return 0;
}

int MidiOutLatencyMs(MidiOutDevice* device) {
  const auto listed = setup.latencyMs.find(device->number);
  return listed == setup.latencyMs.end() ? 0 : listed->second;
}

int CloseMidiOut(MidiOutDevice* device) {
  Log(testing::MidiLogEntry::Close, device, {});
  std::erase_if(openDevices, [device](const auto& open) { return open.get() == device; });
  return 0;
}

bool ProbeSequencer(const char* elementPath) {
  lastProbePath = elementPath;
  return setup.probeSucceeds;
}

namespace testing {

void ResetMidi() {
  setup = MidiDeviceSetup{};
  openDevices.clear();
  midiLog.clear();
  lastProbePath.clear();
  longDoneWaits = 0;
}

void SetMidiDevices(const MidiDeviceSetup& newSetup) { setup = newSetup; }
const std::vector<MidiLogEntry>& MidiLog() { return midiLog; }
void ClearMidiLog() { midiLog.clear(); }
const std::string& LastProbePath() { return lastProbePath; }
int OpenMidiDeviceCount() { return static_cast<int>(openDevices.size()); }
int LongDoneWaits() { return longDoneWaits; }

}  // namespace testing
}  // namespace platform
