// The ALSA sequencer ports of the desktop backend: every writable port of
// other clients (hardware interfaces, software synthesizers, virtual
// keyboards), each reached from a port of the program's own client.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct _snd_seq;            // the ALSA library's sequencer handle
struct _snd_seq_port_info;  // and its port description

namespace platform::desktop {

struct SequencerLink;  // our port connected to one destination

// The program's sequencer client, opened on first use; nullptr when the
// machine has no sequencer.
::_snd_seq* SequencerClient();

// Whether a port belongs to another program and offers every capability in
// `wanted` to others: the system's own ports, the loopback "Midi Through",
// the program's own client and ports not to be exported are left out.
bool IsOtherProgramsPort(::_snd_seq* seq, ::_snd_seq_port_info* port, unsigned wanted);
// Calls `visit` with every such port of every client.
void ForEachOtherProgramsPort(::_snd_seq* seq, unsigned wanted, const std::function<void(::_snd_seq_port_info*)>& visit);

// A machine without a sequencer or a sound card is not worth a word: the
// ALSA library's own error printing is switched off.
void SilenceAlsaErrors();

// Lists the destinations now (system and "Midi Through" ports excluded);
// 0 when the machine has no sequencer.
int SequencerDestinationCount();
bool SequencerDestinationName(int index, std::string& name);

SequencerLink* OpenSequencerLink(int index);
void SequencerShort(SequencerLink* link, std::uint32_t packed);
int SequencerSysEx(SequencerLink* link, const std::uint8_t* bytes, std::uint32_t length);
// Notes and sustain off, controllers reset, on all 16 channels.
void SequencerReset(SequencerLink* link);
void CloseSequencerLink(SequencerLink* link);

}  // namespace platform::desktop
