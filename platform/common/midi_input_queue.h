// The MIDI input events that arrived and were not taken yet, kept up to a
// small number. When a flood fills it, new and waiting note-ons (and pedal
// presses) give way, never a release: a lost note-off would leave its note
// sounding until the song stops.
#pragma once

#include <cstddef>
#include <deque>

#include "platform/platform.h"

namespace platform {

class MidiInputQueue {
 public:
  static constexpr std::size_t kKept = 256;

  void Push(const MidiInputEvent& event);
  bool Pop(MidiInputEvent& event);
  void Clear() { events_.clear(); }
  std::size_t Size() const { return events_.size(); }

 private:
  std::deque<MidiInputEvent> events_;
};

}  // namespace platform
