// MIDI input on the desktop: the program's sequencer client gets an input
// port, "Tonquill keyboard input", connected to every readable MIDI source
// (USB keyboards, virtual keyboards) now and whenever one appears later, as
// the sequencer's announcements tell.
#include <alsa/asoundlib.h>
#include <poll.h>

#include <string>
#include <vector>

#include "platform/common/midi_input_queue.h"
#include "platform/desktop/input_wait.h"
#include "platform/desktop/sequencer.h"
#include "platform/platform.h"

namespace platform {

namespace {

struct Source {
  int client;
  int port;
  std::string name;
};

// Our input port (or -1), the sources connected to it, the events that
// arrived and were not taken yet, how many have arrived in all, and
// whether the program took one since the main loop last slept.
int inputPort = -1;
std::vector<Source> sources;
MidiInputQueue arrived;
unsigned long arrivals = 0;
bool takenSinceSleep = false;

constexpr const char* kInputPortName = "Tonquill keyboard input";
// Reading the sequencer is cheap beside playing what it brings, so one poll
// reads up to a queue's worth: a flood then overflows our queue, which
// chooses what to drop, rather than the sequencer's, which would not.
constexpr int kReadsPerPoll = static_cast<int>(MidiInputQueue::kKept);

// A port other programs can read from: a MIDI source for us.
constexpr unsigned kSourceCapabilities = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;

void Connect(snd_seq_t* seq, snd_seq_port_info_t* port) {
  if (!desktop::IsOtherProgramsPort(seq, port, kSourceCapabilities)) return;
  const int client = snd_seq_port_info_get_client(port), number = snd_seq_port_info_get_port(port);
  for (const Source& s : sources)
    if (s.client == client && s.port == number) return;
  if (snd_seq_connect_from(seq, inputPort, client, number) < 0) return;
  sources.push_back({client, number, snd_seq_port_info_get_name(port)});
}

void ConnectPort(snd_seq_t* seq, int client, int port) {
  snd_seq_port_info_t* info;
  snd_seq_port_info_alloca(&info);
  if (snd_seq_get_any_port_info(seq, client, port, info) == 0) Connect(seq, info);
}

void ConnectEverySource(snd_seq_t* seq) {
  desktop::ForEachOtherProgramsPort(seq, kSourceCapabilities, [seq](snd_seq_port_info_t* port) { Connect(seq, port); });
}

void Keep(MidiInputEvent event) {
  ++arrivals;
  event.ms = TimeMs();
  arrived.Push(event);
}

// Whether an event is waiting. The client is opened blocking (its output
// must not fail on a full queue), so a read with nothing waiting would hold
// the frame until the next key: the descriptors are polled first.
bool EventWaiting(snd_seq_t* seq) {
  if (snd_seq_event_input_pending(seq, 0) > 0) return true;
  pollfd descriptors[4];
  const int count = snd_seq_poll_descriptors(seq, descriptors, 4, POLLIN);
  return count > 0 && poll(descriptors, static_cast<nfds_t>(count), 0) > 0;
}

// Takes what the sequencer delivered to our port, without waiting, and at
// most so many events however fast a source sends.
void Drain(snd_seq_t* seq) {
  snd_seq_event_t* e = nullptr;
  for (int reads = 0; reads < kReadsPerPoll && EventWaiting(seq) && snd_seq_event_input(seq, &e) >= 0 && e != nullptr; ++reads) {
    switch (e->type) {
      case SND_SEQ_EVENT_NOTEON:
        Keep({e->data.note.velocity == 0 ? MidiInputEvent::NoteOff : MidiInputEvent::NoteOn, e->data.note.channel & 15,
              e->data.note.note & 127, e->data.note.velocity & 127});
        break;
      case SND_SEQ_EVENT_NOTEOFF:
        Keep({MidiInputEvent::NoteOff, e->data.note.channel & 15, e->data.note.note & 127, e->data.note.velocity & 127});
        break;
      case SND_SEQ_EVENT_CONTROLLER:
        if (e->data.control.param == 64)
          Keep({MidiInputEvent::Sustain, e->data.control.channel & 15, 64, static_cast<int>(e->data.control.value & 127)});
        break;
      case SND_SEQ_EVENT_PORT_START:  // a keyboard plugged in, a program started
        ConnectPort(seq, e->data.addr.client, e->data.addr.port);
        break;
      case SND_SEQ_EVENT_PORT_EXIT:
        std::erase_if(sources, [e](const Source& s) { return s.client == e->data.addr.client && s.port == e->data.addr.port; });
        break;
      default:
        break;
    }
  }
}

}  // namespace

void OpenMidiInput() {
  snd_seq_t* seq = desktop::SequencerClient();
  if (seq == nullptr || inputPort >= 0) return;
  inputPort = snd_seq_create_simple_port(seq, kInputPortName, SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                         SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  if (inputPort < 0) return;
  // The announcements of ports that come and go.
  snd_seq_connect_from(seq, inputPort, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE);
  ConnectEverySource(seq);
}

void CloseMidiInput() {
  snd_seq_t* seq = desktop::SequencerClient();
  if (seq != nullptr && inputPort >= 0) snd_seq_delete_simple_port(seq, inputPort);
  inputPort = -1;
  sources.clear();
  arrived.Clear();
}

bool PollMidiInput(MidiInputEvent& event) {
  if (inputPort >= 0) Drain(desktop::SequencerClient());
  const bool taken = arrived.Pop(event);
  takenSinceSleep = takenSinceSleep || taken;
  return taken;
}

namespace desktop {

bool MidiInputWaiting(std::vector<pollfd>& descriptors) {
  if (inputPort < 0) return false;
  snd_seq_t* seq = SequencerClient();
  // What the sequencer holds is read now, so that its descriptor only
  // wakes the loop for what comes next, even in a scene that takes none.
  const unsigned long before = arrivals;
  Drain(seq);
  // Events left behind by a frame that took its share of a flood are due
  // at the next frame.
  const bool leftByAFrame = takenSinceSleep && arrived.Size() > 0;
  takenSinceSleep = false;
  if (arrivals != before || leftByAFrame) return true;
  pollfd own[4];
  const int count = snd_seq_poll_descriptors(seq, own, 4, POLLIN);
  for (int i = 0; i < count; ++i) descriptors.push_back(own[i]);
  return false;
}

}  // namespace desktop

int MidiInputCount() { return static_cast<int>(sources.size()); }

bool MidiInputName(int index, std::string& name) {
  if (index < 0 || index >= static_cast<int>(sources.size())) return false;
  name = sources[static_cast<std::size_t>(index)].name;
  return true;
}

}  // namespace platform
