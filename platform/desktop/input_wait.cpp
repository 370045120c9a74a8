// The main loop's sleep on the desktop. A pass that presented nothing used
// to sleep 1 ms and look again, about 800 passes a second at rest; blocking
// on the X server's connection, the sequencer and the second copies' socket
// together lets a game at rest sleep until something happens, and wakes it
// the moment a key, a MIDI note or a request arrives.
#include "platform/desktop/input_wait.h"

#include <cerrno>
#include <ctime>

#include "platform/platform.h"

namespace platform::desktop {

namespace {
// The descriptors of the current sleep, kept to spare an allocation a sleep.
std::vector<pollfd> descriptors;
}  // namespace

bool SleepUntilInputOr(WaitClock::time_point deadline) {
  for (;;) {
    // A frame waiting for its refresh is shown on time meanwhile.
    WaitClock::time_point wakeUp = deadline;
    ShowFrameWhenDue(&wakeUp);
    descriptors.clear();
    // Every source is asked (each may bring the wake-up closer, and the
    // sequencer is read into the program's queue), even once one has input.
    bool waiting = WindowInputWaiting(descriptors, wakeUp);
    waiting = MidiInputWaiting(descriptors) || waiting;
    waiting = SecondCopyWaiting(descriptors, wakeUp) || waiting;
    if (waiting) return true;
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(wakeUp - WaitClock::now()).count();
    const timespec timeout{static_cast<time_t>(left > 0 ? left / 1000000000 : 0),
                           static_cast<long>(left > 0 ? left % 1000000000 : 0)};
    const int ready = ppoll(descriptors.data(), descriptors.size(), &timeout, nullptr);
    // A signal (the session ending) is input too: SDL turns it into an event.
    if (ready > 0 || (ready < 0 && errno == EINTR)) return true;
    if (WaitClock::now() >= deadline) {
      ShowFrameWhenDue();
      return false;
    }
  }
}

}  // namespace platform::desktop

namespace platform {

bool WaitForInput(std::uint32_t timeoutMs) {
  return desktop::SleepUntilInputOr(desktop::WaitClock::now() + std::chrono::milliseconds(timeoutMs));
}

}  // namespace platform
