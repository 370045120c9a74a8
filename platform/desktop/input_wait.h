// The main loop's sleep on the desktop: every source of input tells what to
// block on, and the sleep ends as soon as one of them has something.
#pragma once

#include <poll.h>

#include <chrono>
#include <vector>

namespace platform::desktop {

using WaitClock = std::chrono::steady_clock;

// Sleeps until input may be waiting or `deadline` has come; true for input.
// Called by the main loop (WaitForInput) and by the wait for the display's
// refresh.
bool SleepUntilInputOr(WaitClock::time_point deadline);

// Shows a presented frame whose refresh has come (see WaitVerticalBlank);
// while it is still to come, brings `deadline` forward to it.
void ShowFrameWhenDue(WaitClock::time_point* deadline = nullptr);

// How many times the main loop has asked for events (PollEvent): the wait
// for the refresh ends early for input once between two of them.
unsigned long EventPolls();

// Each source adds the descriptors to block on and may bring the deadline
// closer; true when input is waiting already (then the sleep ends at once).
// The window: the backend's own queue, SDL's, and the X server's connection
// (events already read by Xlib count as waiting).
bool WindowInputWaiting(std::vector<pollfd>& descriptors, WaitClock::time_point& deadline);
// The MIDI keyboards: what the sequencer delivered is read into the
// program's queue first.
bool MidiInputWaiting(std::vector<pollfd>& descriptors);
// Second copies knocking, and those whose request is still coming (a slow
// one is dropped on time).
bool SecondCopyWaiting(std::vector<pollfd>& descriptors, WaitClock::time_point& deadline);
// The X server's connection, its output flushed; false with -1 when the
// window is not an X window. True when Xlib holds events already read.
bool X11EventsWaiting(int& descriptor);

}  // namespace platform::desktop
