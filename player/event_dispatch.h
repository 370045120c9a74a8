// Event dispatch: sends every due event of every track to the MIDI ports,
// carries out the meta events that steer playback, and keeps the tables of
// sounding notes and held sustain pedals so that a stop turns off exactly
// what is sounding.
#pragma once

#include <cstdint>

namespace player {

inline constexpr int kNoteTablePorts = 10;
inline constexpr int kLyricBufferSize = 323;

// Sends every event whose time the song position has passed, track by
// track; a system-exclusive event ends the pass.
void DispatchDueEvents();

// The one way out to a port for a message of no track (the player's keys,
// a stop, what a chase sends again): note and pedal bookkeeping, then the
// port.
int SendToPort(int port, const std::uint8_t* message, int length);

// Sounds a click on port 0 (a measure's first beat accented), ending the
// one before; EndClickAfter ends the sounding click once it has been held
// `heldMs` (a stop has ended it already when it silenced the ports).
void SendClick(bool accented);
void EndClickAfter(std::uint32_t heldMs);
// The metronome clicks on the beats the song position passes (while on).
void SetMetronomeOn(bool on);
bool MetronomeOn();

// Turns off every note and sustain pedal the tables record, on every port.
void SilenceAllPorts();

// Empties the tables of sounding notes and held pedals.
void ClearNoteTables();

// Puts every track where playing from the top would leave it just before
// `tick`, sending nothing on the way; then sends, port by port and in the
// order they were last set, the programs, controllers, pitch bends and
// channel pressures in force there. Notes, exclusive messages and channel
// mode messages are not sent again. The lyric buffer holds the last line
// before `tick` (empty when none).
void ChaseTracksTo(std::int32_t tick);

// Puts every installed track back to its first event (the output port and
// the muting are kept).
void RewindTracks();

// Per-track state the guide reads and sets.
bool TrackEnded(int track);
void SetTrackEnded(int track);
void SetTrackEnabled(int track, bool enabled);
// Mutes the note-ons of one channel of a track (the guided part of a
// one-track song); the track's other events play.
void SetTrackNoteChannelMuted(int track, int channel);
// Mutes the note-ons of the guided hand on a track (the guided part is one
// hand); the other hand and the track's other events play.
void SetTrackGuideNotesMuted(int track);
// Every track enabled, no channel or hand muted.
void UnmuteAllTracks();
int TrackOutputPort(int track);

// How many note-ons of (port, channel, note) are not yet matched.
int SoundingNoteCount(int port, int channel, int note);
bool SustainHeld(int port, int channel);

// The last lyric line, zero-terminated code-page bytes.
const char* LyricBuffer();

}  // namespace player
