// The MIDI output ports: up to eight devices opened at start-up (the mapper
// first when the sequencer probe succeeds), kept open for the whole run,
// reset and closed at exit. Every MIDI message of the program leaves here.
#pragma once

#include <cstdint>

namespace midi {

inline constexpr int kPortSlots = 8;
inline constexpr std::uint32_t kExclusiveBufferSize = 102400;
// The sequencer probe's element when no start-up song is named.
inline constexpr const char* kProbeSongName = "redade7.mid";
// How long a new exclusive message waits for the device to finish with the
// previous one before it is dropped rather than overwrite it.
inline constexpr std::uint32_t kExclusiveWaitMs = 1000;

// Opens the ports; always returns 0. Called once by the start-up scene with
// the start-up song's path (the command line, "" for none), which the
// sequencer probe is given.
int OpenMidiOutPorts(const char* startUpSong);

// Closes every port and forgets the port table and the exclusive buffer.
void ResetMidiOut();
// Resets and closes every port; returns the last close result (0 if none).
int CloseMidiOutPorts();

// A message of up to three bytes to a port below the port count; 1 (nothing
// sent) for any other port.
int SendShortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int port);

// A system-exclusive message (from its F0h) of at most 102400 bytes; a
// longer one is dropped and 0 returned, one to a port not below the port
// count dropped and 1 returned.
int SendExclusiveMessage(const std::uint8_t* message, std::uint32_t length, int port);

// The playback engine's one entry: 1..3 bytes go as a short message, more
// as exclusive. Returns 1 (nothing sent) when the port is not below the
// port count, else 0.
int SendMidiMessage(int port, const std::uint8_t* message, int length);

// Waits until every port can sound, at most timeoutMs in all (the built-in
// synthesizer reads its SoundFont for a moment after start-up); true when
// every port can.
bool WaitForPortsReady(std::uint32_t timeoutMs);

int PortCount();
// How late a port's messages are heard (platform::MidiOutLatencyMs), in
// whole milliseconds: -1 when nobody reports it (an external port) or the
// port is not open.
int PortLatencyMs(int port);
// The device name read for a port when it was opened (UTF-8).
const char* PortName(int port);

}  // namespace midi
