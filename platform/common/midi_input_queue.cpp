#include "platform/common/midi_input_queue.h"

#include <algorithm>

namespace platform {

namespace {

// A note-on or a pedal press: losing one costs a note, never a stuck one.
bool Droppable(const MidiInputEvent& e) {
  return e.kind == MidiInputEvent::NoteOn || (e.kind == MidiInputEvent::Sustain && e.value >= 64);
}

bool Same(const MidiInputEvent& a, const MidiInputEvent& b) {
  return a.kind == b.kind && a.channel == b.channel && a.note == b.note;
}

}  // namespace

void MidiInputQueue::Push(const MidiInputEvent& event) {
  if (events_.size() < kKept) {
    events_.push_back(event);
    return;
  }
  if (Droppable(event)) return;
  // A release: the newest waiting note-on or pedal press makes room.
  const auto newest = std::find_if(events_.rbegin(), events_.rend(), Droppable);
  if (newest != events_.rend()) {
    events_.erase(std::next(newest).base());
    events_.push_back(event);
    return;
  }
  // Only releases wait: the same release waiting already ends the same
  // note, so this one says nothing new. Distinct releases are at most one
  // per note and channel, so the queue stays bounded.
  if (std::none_of(events_.begin(), events_.end(), [&](const MidiInputEvent& e) { return Same(e, event); }))
    events_.push_back(event);
}

bool MidiInputQueue::Pop(MidiInputEvent& event) {
  if (events_.empty()) return false;
  event = events_.front();
  events_.pop_front();
  return true;
}

}  // namespace platform
