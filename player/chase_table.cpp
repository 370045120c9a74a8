#include "player/chase_table.h"
#include "base/module_state.h"

#include <array>
#include <memory>

namespace player {

namespace {

constexpr int kPorts = 256;  // a port prefix is one byte
constexpr int kChasedControllers = 120;  // from 120 on: channel mode messages
// The kinds of one channel: each controller, then program, pressure, bend.
constexpr int kKindsPerChannel = kChasedControllers + 3;
constexpr int kSlotsPerPort = 16 * kKindsPerChannel;
constexpr int kNone = -1;

// One kept message: its data bytes and its place in the list of kept
// messages, from the one set longest ago to the latest.
struct Slot {
  bool kept = false;
  std::uint8_t data[2]{};
  int previous = kNone;
  int next = kNone;
};
using PortSlots = std::array<Slot, kSlotsPerPort>;

// A port's slots are made the first time the port has a message kept.
struct State {
  std::array<std::unique_ptr<PortSlots>, kPorts> ports;
  int oldest = kNone;
  int latest = kNone;
};
base::ModuleState<State> state;

Slot& SlotAt(int index) { return (*state.ports[index / kSlotsPerPort])[index % kSlotsPerPort]; }

void Unlink(int index) {
  Slot& slot = SlotAt(index);
  (slot.previous == kNone ? state.oldest : SlotAt(slot.previous).next) = slot.next;
  (slot.next == kNone ? state.latest : SlotAt(slot.next).previous) = slot.previous;
}

void Append(int index) {
  Slot& slot = SlotAt(index);
  slot.previous = state.latest;
  slot.next = kNone;
  (state.latest == kNone ? state.oldest : SlotAt(state.latest).next) = index;
  state.latest = index;
}

// The slot's kind within its channel; kNone for a message not chased.
int KindOf(const std::uint8_t* message, int length) {
  if (length < 2 || length > 3) return kNone;
  switch (message[0] & 0xF0) {
    case 0xB0: return length == 3 && message[1] < kChasedControllers ? message[1] : kNone;
    case 0xC0: return kChasedControllers;
    case 0xD0: return kChasedControllers + 1;
    case 0xE0: return kChasedControllers + 2;
    default: return kNone;
  }
}

ChasedMessage MessageOf(int index) {
  const Slot& slot = SlotAt(index);
  const int port = index / kSlotsPerPort;
  const int channel = index % kSlotsPerPort / kKindsPerChannel;
  const int kind = index % kKindsPerChannel;
  if (kind < kChasedControllers)
    return {port, {static_cast<std::uint8_t>(0xB0 | channel), static_cast<std::uint8_t>(kind), slot.data[0]}, 3};
  if (kind == kChasedControllers) return {port, {static_cast<std::uint8_t>(0xC0 | channel), slot.data[0], 0}, 2};
  if (kind == kChasedControllers + 1) return {port, {static_cast<std::uint8_t>(0xD0 | channel), slot.data[0], 0}, 2};
  return {port, {static_cast<std::uint8_t>(0xE0 | channel), slot.data[0], slot.data[1]}, 3};
}

}  // namespace

void RememberChased(int port, const std::uint8_t* message, int length) {
  const int kind = KindOf(message, length);
  if (kind == kNone || port < 0 || port >= kPorts) return;
  if (state.ports[port] == nullptr) state.ports[port] = std::make_unique<PortSlots>();
  const int index = port * kSlotsPerPort + (message[0] & 0x0F) * kKindsPerChannel + kind;
  Slot& slot = SlotAt(index);
  if (slot.kept) Unlink(index);
  slot.kept = true;
  slot.data[0] = kind < kChasedControllers ? message[2] : message[1];
  slot.data[1] = length == 3 ? message[2] : 0;
  Append(index);
}

void SendChasedInOrder(void (*send)(const ChasedMessage& message)) {
  for (int index = state.oldest; index != kNone;) {
    Slot& slot = SlotAt(index);
    send(MessageOf(index));
    slot.kept = false;
    index = slot.next;
  }
  state.oldest = state.latest = kNone;
}

}  // namespace player
