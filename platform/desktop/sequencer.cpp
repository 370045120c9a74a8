#include "platform/desktop/sequencer.h"

#include <alsa/asoundlib.h>

#include <vector>

namespace platform::desktop {

struct Destination {
  int client;
  int port;
  std::string name;
};

struct SequencerLink {
  int ourPort;
  Destination destination;
};

// The program's sequencer client (opened on first use) and the
// destinations found by the last listing.
static snd_seq_t* sequencer = nullptr;
static bool triedToOpen = false;
static std::vector<Destination> destinations;

static void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsaErrors() { snd_lib_error_set_handler(QuietAlsaErrors); }


static bool OpenClient() {
  if (triedToOpen) return sequencer != nullptr;
  triedToOpen = true;
  SilenceAlsaErrors();
  // Both ways: the output ports and the keyboard input share the client.
  if (snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) {
    sequencer = nullptr;
    return false;
  }
  snd_seq_set_client_name(sequencer, "Tonquill");
  return true;
}

snd_seq_t* SequencerClient() { return OpenClient() ? sequencer : nullptr; }

bool IsOtherProgramsPort(snd_seq_t* seq, snd_seq_port_info_t* port, unsigned wanted) {
  const int client = snd_seq_port_info_get_client(port);
  if (client == SND_SEQ_CLIENT_SYSTEM || client == snd_seq_client_id(seq)) return false;
  const unsigned caps = snd_seq_port_info_get_capability(port);
  if ((caps & wanted) != wanted || (caps & SND_SEQ_PORT_CAP_NO_EXPORT) != 0) return false;
  snd_seq_client_info_t* info;
  snd_seq_client_info_alloca(&info);
  if (snd_seq_get_any_client_info(seq, client, info) < 0) return false;
  return std::string(snd_seq_client_info_get_name(info)) != "Midi Through";
}

void ForEachOtherProgramsPort(snd_seq_t* seq, unsigned wanted, const std::function<void(snd_seq_port_info_t*)>& visit) {
  snd_seq_client_info_t* client;
  snd_seq_port_info_t* port;
  snd_seq_client_info_alloca(&client);
  snd_seq_port_info_alloca(&port);
  snd_seq_client_info_set_client(client, -1);
  while (snd_seq_query_next_client(seq, client) >= 0) {
    snd_seq_port_info_set_client(port, snd_seq_client_info_get_client(client));
    snd_seq_port_info_set_port(port, -1);
    while (snd_seq_query_next_port(seq, port) >= 0)
      if (IsOtherProgramsPort(seq, port, wanted)) visit(port);
  }
}

static void ListDestinations() {
  destinations.clear();
  if (!OpenClient()) return;
  ForEachOtherProgramsPort(sequencer, SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE, [](snd_seq_port_info_t* port) {
    destinations.push_back(
        {snd_seq_port_info_get_client(port), snd_seq_port_info_get_port(port), snd_seq_port_info_get_name(port)});
  });
}

int SequencerDestinationCount() {
  ListDestinations();
  return static_cast<int>(destinations.size());
}

bool SequencerDestinationName(int index, std::string& name) {
  if (index < 0 || index >= static_cast<int>(destinations.size())) return false;
  name = destinations[static_cast<std::size_t>(index)].name;
  return true;
}

SequencerLink* OpenSequencerLink(int index) {
  if (sequencer == nullptr || index < 0 || index >= static_cast<int>(destinations.size())) return nullptr;
  const Destination& destination = destinations[static_cast<std::size_t>(index)];
  const std::string portName = "Tonquill to " + destination.name;
  const int ourPort = snd_seq_create_simple_port(sequencer, portName.c_str(),
                                                 SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                                 SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  if (ourPort < 0) return nullptr;
  if (snd_seq_connect_to(sequencer, ourPort, destination.client, destination.port) < 0) {
    snd_seq_delete_simple_port(sequencer, ourPort);
    return nullptr;
  }
  return new SequencerLink{ourPort, destination};
}

// Sends one event from the link's port to its subscribers, at once.
static int Deliver(SequencerLink* link, snd_seq_event_t& event) {
  snd_seq_ev_set_source(&event, link->ourPort);
  snd_seq_ev_set_subs(&event);
  snd_seq_ev_set_direct(&event);
  return snd_seq_event_output_direct(sequencer, &event) < 0 ? 1 : 0;
}

void SequencerShort(SequencerLink* link, std::uint32_t packed) {
  if (link == nullptr) return;
  const int status = static_cast<int>(packed & 0xFF);
  const int channel = status & 0x0F;
  const int data1 = static_cast<int>((packed >> 8) & 0x7F);
  const int data2 = static_cast<int>((packed >> 16) & 0x7F);
  snd_seq_event_t event;
  snd_seq_ev_clear(&event);
  switch (status & 0xF0) {
    case 0x80: snd_seq_ev_set_noteoff(&event, channel, data1, data2); break;
    case 0x90: snd_seq_ev_set_noteon(&event, channel, data1, data2); break;
    case 0xA0: snd_seq_ev_set_keypress(&event, channel, data1, data2); break;
    case 0xB0: snd_seq_ev_set_controller(&event, channel, data1, data2); break;
    case 0xC0: snd_seq_ev_set_pgmchange(&event, channel, data1); break;
    case 0xD0: snd_seq_ev_set_chanpress(&event, channel, data1); break;
    case 0xE0: snd_seq_ev_set_pitchbend(&event, channel, (data1 | (data2 << 7)) - 8192); break;
    case 0xF0:
      if (status == 0xFC) event.type = SND_SEQ_EVENT_STOP;
      else if (status == 0xFA) event.type = SND_SEQ_EVENT_START;
      else if (status == 0xFB) event.type = SND_SEQ_EVENT_CONTINUE;
      else if (status == 0xF8) event.type = SND_SEQ_EVENT_CLOCK;
      else return;
      break;
  }
  Deliver(link, event);
}

int SequencerSysEx(SequencerLink* link, const std::uint8_t* bytes, std::uint32_t length) {
  if (link == nullptr) return 1;
  snd_seq_event_t event;
  snd_seq_ev_clear(&event);
  snd_seq_ev_set_sysex(&event, length, const_cast<std::uint8_t*>(bytes));
  return Deliver(link, event);
}

void SequencerReset(SequencerLink* link) {
  for (int channel = 0; channel < 16; ++channel) {
    for (std::uint32_t controller : {64u, 123u, 121u}) {  // sustain off, all notes off, reset controllers
      SequencerShort(link, (0xB0u | static_cast<std::uint32_t>(channel)) | (controller << 8));
    }
  }
}

void CloseSequencerLink(SequencerLink* link) {
  if (link == nullptr) return;
  snd_seq_disconnect_to(sequencer, link->ourPort, link->destination.client, link->destination.port);
  snd_seq_delete_simple_port(sequencer, link->ourPort);
  delete link;
}

}  // namespace platform::desktop
