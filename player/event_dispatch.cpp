#include "player/event_dispatch.h"

#include <algorithm>
#include <cstring>

#include "midi/midi_out.h"
#include "player/chase_table.h"
#include "player/guide_track.h"
#include "player/lyric_lines.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"
#include "player/screen_hooks.h"
#include "song/measure_map.h"
#include "song/song_store.h"
#include "song/track_reader.h"

namespace player {

struct TrackState {
  std::int32_t readPosition;
  std::int32_t nextEventTime;
  bool deltaRead;
  bool ended;
  bool cutOff;  // the walk ran into the end of the song data
  std::uint8_t runningStatus;
  std::uint8_t outputPort;
  bool muted;  // only the guided part's track is ever muted
  std::uint16_t mutedNoteChannels;  // channels whose note-ons are not sent (bit n: channel n)
};

// Per-track read state, the send path's context, the note and pedal tables,
// the lyric buffer, and whether a chase is walking the tracks.
namespace {
struct State {
  TrackState tracks[song::kTrackSlots]{};
  int currentTrackMarker = 0;  // track index + 1, or 0 outside a track
  bool eventMuted = false;
  int defaultPort = 0;
  std::int8_t soundingNotes[kNoteTablePorts][16][128]{};
  std::uint8_t sustainHeld[kNoteTablePorts][16]{};
  char lyricBuffer[kLyricBufferSize + 1]{};
  bool chasing = false;
};
State state;
}  // namespace

static constexpr std::int8_t kMaxNoteCount = 127;
static constexpr std::uint8_t kSustainController = 64;

void ResetEventDispatch() {
  state = {};
}

void ClearNoteTables() {
  std::memset(state.soundingNotes, 0, sizeof state.soundingNotes);
  std::memset(state.sustainHeld, 0, sizeof state.sustainHeld);
}

std::int32_t TrackReadPosition(int track) { return state.tracks[track].readPosition; }
std::int32_t TrackNextEventTime(int track) { return state.tracks[track].nextEventTime; }
bool TrackEnded(int track) { return state.tracks[track].ended; }
void SetTrackEnded(int track) { state.tracks[track].ended = true; }
void SetTrackEnabled(int track, bool enabled) { state.tracks[track].muted = !enabled; }
void SetTrackNoteChannelMuted(int track, int channel) {
  state.tracks[track].mutedNoteChannels = static_cast<std::uint16_t>(state.tracks[track].mutedNoteChannels | (1u << channel));
}
void UnmuteAllTracks() {
  for (TrackState& t : state.tracks) {
    t.muted = false;
    t.mutedNoteChannels = 0;
  }
}
int TrackOutputPort(int track) { return state.tracks[track].outputPort; }
int SoundingNoteCount(int port, int channel, int note) { return state.soundingNotes[port][channel][note]; }
bool SustainHeld(int port, int channel) { return state.sustainHeld[port][channel] != 0; }
const char* LyricBuffer() { return state.lyricBuffer; }

void RewindTracks() {
  for (int i = 0; i < song::TrackCount(); ++i) {
    TrackState& t = state.tracks[i];
    t.readPosition = song::TrackEntry(song::kCurrentBank, i);
    t.nextEventTime = 0;
    t.deltaRead = t.ended = t.cutOff = false;
  }
}

// Whether the current track's notes on `channel` are muted.
static bool NoteChannelMuted(int channel) {
  return state.currentTrackMarker != 0 && ((state.tracks[state.currentTrackMarker - 1].mutedNoteChannels >> channel) & 1u) != 0;
}

int SendEventMessage(const std::uint8_t* message, int length) {
  const int port = state.currentTrackMarker != 0 ? state.tracks[state.currentTrackMarker - 1].outputPort : state.defaultPort;
  if (state.chasing) {
    if (!state.eventMuted) RememberChased(port, message, length);
    return 0;
  }
  // Ports from 10 on have no column: no device has such a number either.
  const bool counted = port < kNoteTablePorts;
  bool muted = state.eventMuted;
  if (length == 3) {
    const int kind = message[0] & 0xF0;
    const int channel = message[0] & 0x0F;
    const int note = message[1] & 0x7F;
    const bool noteOff = kind == 0x80 || (kind == 0x90 && message[2] == 0);
    if (noteOff) {
      if (counted && state.soundingNotes[port][channel][note] > 0) --state.soundingNotes[port][channel][note];
      // A muted track still releases its notes, except the guided part in a
      // performance.
      const int track = state.currentTrackMarker - 1;
      muted = state.currentTrackMarker != 0 && IsGuidePartEvent(track, channel) && IsGuidePerformed();
    } else if ((kind == 0x90 || kind == 0xA0) && NoteChannelMuted(channel)) {
      muted = true;  // the guided channel of a track whose other channels play
    } else if (kind == 0x90 && !muted) {
      if (counted && state.soundingNotes[port][channel][note] < kMaxNoteCount) ++state.soundingNotes[port][channel][note];
    } else if (kind == 0xB0 && message[1] == kSustainController && !muted && state.currentTrackMarker != 0) {
      if (counted) state.sustainHeld[port][channel] = message[2] > 64 ? 1 : 0;
    }
  }
  if (muted) return 0;
  return midi::SendMidiMessage(port, message, length);
}

int SendEventMessageOnPort(int port, const std::uint8_t* message, int length) {
  const int rememberedPort = state.defaultPort;
  state.defaultPort = port;
  const int result = SendEventMessage(message, length);
  state.defaultPort = rememberedPort;
  return result;
}

void SilenceAllPorts() {
  const int rememberedPort = state.defaultPort;
  for (int port = 0; port < kNoteTablePorts; ++port) {
    state.defaultPort = port;
    for (int channel = 0; channel < 16; ++channel) {
      for (int note = 0; note < 128; ++note) {
        const int count = state.soundingNotes[port][channel][note];
        if (count <= 0) continue;
        const std::uint8_t off[] = {static_cast<std::uint8_t>(0x90 | channel), static_cast<std::uint8_t>(note), 0};
        for (int i = 0; i <= count; ++i) SendEventMessage(off, 3);
        state.soundingNotes[port][channel][note] = 0;
      }
    }
    // Every note of the port is off before any of its pedals goes up.
    for (int channel = 0; channel < 16; ++channel) {
      if (state.sustainHeld[port][channel]) {
        const std::uint8_t pedalUp[] = {static_cast<std::uint8_t>(0xB0 | channel), kSustainController, 0};
        SendEventMessage(pedalUp, 3);
        state.sustainHeld[port][channel] = 0;
      }
    }
  }
  state.defaultPort = rememberedPort;
}

namespace {

// A gathered lyric event: its line shows when it is the line's first, then
// its syllable lights.
void ShowGatheredSyllable() {
  const ReachedSyllable syllable = ReachNextSyllable();
  if (state.eventMuted || syllable.line == nullptr) return;
  if (syllable.newLine) {
    const std::size_t n = std::min(syllable.line->size(), static_cast<std::size_t>(kLyricBufferSize));
    std::memcpy(state.lyricBuffer, syllable.line->data(), n);
    state.lyricBuffer[n] = '\0';
    if (!state.chasing) LyricLineArrived();
  }
  // A chase only finds the line in force; the screen shows it after the jump.
  if (syllable.start < kLyricBufferSize && !state.chasing)
    LyricSyllableReached(syllable.start, std::min(syllable.length, kLyricBufferSize - syllable.start));
}

// Meta events of track `index` at the read position; returns true when it
// ended the song.
bool DispatchMeta(int index, TrackState& t) {
  std::int32_t p = t.readPosition + 1;
  const int type = song::SongByte(p++);
  const std::int32_t length = song::ReadVarLen(p);
  const std::int32_t data = p;
  t.readPosition = data + std::max(length, 0);
  switch (type) {
    case song::kMetaText:
      if (IsGatheredLyricEvent(index, type)) ShowGatheredSyllable();
      break;
    case song::kMetaLyric:
      if (IsGatheredLyricEvent(index, type)) {
        ShowGatheredSyllable();
      } else if (!state.eventMuted && !LyricsBySyllable()) {
        const std::int32_t n = std::clamp(length, 0, kLyricBufferSize);
        for (std::int32_t i = 0; i < n; ++i) state.lyricBuffer[i] = static_cast<char>(song::SongByte(data + i));
        state.lyricBuffer[n] = '\0';
        if (!state.chasing) LyricLineArrived();
      }
      break;
    case song::kMetaPortPrefix:
      t.outputPort = song::SongByte(data);
      break;
    case song::kMetaEndOfTrack:
      t.ended = true;
      return index == 0 && PlayState() == kPlaying && !state.chasing;
    case song::kMetaTempo:
      // A chase takes the tempo and signature from the measure map.
      if (index == song::ConductorTrack() && !state.chasing) {
        // A tempo of 0 microseconds per quarter has no meaning: ignored.
        if (const std::int32_t microseconds = song::ReadBigEndian(data, 3); microseconds > 0) {
          SetTempo(song::kMicrosecondsPerMinute / microseconds);
          ApplyTempo();
        }
      }
      break;
    case song::kMetaTimeSignature:
      if (index == song::ConductorTrack() && !state.chasing) ApplyTimeSignature(song::SongByte(data), song::SongByte(data + 1));
      break;
    default:
      break;
  }
  return false;
}

// Sends the exclusive message in place: the last byte of its length field
// becomes F0h for the send and is put back afterwards.
void DispatchExclusive(TrackState& t) {
  std::int32_t p = t.readPosition + 1;
  const std::int32_t length = song::ReadVarLen(p);
  if (length >= 0 && song::UsedSongBytes(p - 1, length + 1) != nullptr) {
    const std::uint8_t saved = song::SongByte(p - 1);
    song::PokeSongByte(p - 1, 0xF0);
    SendEventMessage(song::UsedSongBytes(p - 1, length + 1), length + 1);
    song::PokeSongByte(p - 1, saved);
  }
  t.readPosition = p + std::max(length, 0);
}

// In the demonstration the screen lights the guide part's sounding notes.
void ShowGuidePartNote(int index, const std::uint8_t* message, int length) {
  const int kind = message[0] & 0xF0;
  if (length != 3 || (kind != 0x80 && kind != 0x90)) return;
  if (PerformanceModeFlag() != 0 || PlayState() != kPlaying || state.chasing || !IsGuidePartEvent(index, message[0] & 0x0F))
    return;
  DemoGuideNote(message[1] & 0x7F, kind == 0x90 && message[2] != 0);
}

void DispatchChannel(int index, TrackState& t) {
  std::uint8_t b = song::SongByte(t.readPosition);
  if (b >= 0x80) {
    t.runningStatus = b;
    ++t.readPosition;
  }
  const int length = song::ChannelMessageLength(t.runningStatus);
  // Data bytes before any status (a track that ran on into the next
  // chunk) are stepped over as the reader steps them, never sent; a chase
  // steps over what would reach no device (it would be dropped) at once.
  if (t.runningStatus < 0x80 || (state.chasing && t.outputPort >= midi::PortCount())) {
    t.readPosition += length - 1;
    return;
  }
  const std::uint8_t message[3] = {t.runningStatus, song::SongByte(t.readPosition),
                                   length == 3 ? song::SongByte(t.readPosition + 1) : std::uint8_t{0}};
  SendEventMessage(message, length);
  ShowGuidePartNote(index, message, length);
  t.readPosition += length - 1;
}

// Reads the next event's delta time once.
void ReadDelta(TrackState& t) {
  if (t.deltaRead) return;
  const std::int32_t length = song::ReadEvent(t.readPosition, t.nextEventTime);
  t.cutOff = length == 0 && song::LastMetaType() == song::kMetaEndOfTrack;
  t.deltaRead = true;
}

// Carries out the event of track `index` at its read position; true when it
// was an exclusive message, which ends the pass.
bool DispatchEvent(int index, TrackState& t, bool& songEnded) {
  state.eventMuted = t.muted;
  const std::uint8_t status = song::SongByte(t.readPosition);
  bool exclusive = false;
  if (t.cutOff) {
    // The song data ended without an end-of-track: the track ends here.
    t.ended = true;
    songEnded = songEnded || (index == 0 && PlayState() == kPlaying && !state.chasing);
  } else if (status == 0xFF) {
    songEnded = DispatchMeta(index, t) || songEnded;
  } else if (status == 0xF0) {
    DispatchExclusive(t);
    exclusive = true;
  } else if (status > 0xF0) {
    // Other system bytes are not sent; they are stepped over by their length.
    std::int32_t p = t.readPosition + 1;
    const std::int32_t length = song::ReadVarLen(p);
    t.readPosition = p + std::max(length, 0);
  } else {
    DispatchChannel(index, t);
  }
  t.deltaRead = false;
  return exclusive;
}

}  // namespace

void DispatchDueEvents() {
  bool songEnded = false;
  bool exclusiveSent = false;
  for (int i = 0; i < song::TrackCount() && !exclusiveSent; ++i) {
    state.currentTrackMarker = i + 1;
    TrackState& t = state.tracks[i];
    while (!t.ended) {
      ReadDelta(t);
      if (SongPosition() <= t.nextEventTime) break;
      if (DispatchEvent(i, t, songEnded)) {
        exclusiveSent = true;
        break;
      }
    }
  }
  state.eventMuted = false;
  state.currentTrackMarker = 0;
  // A loop that reaches the song's end goes back rather than stop.
  if (songEnded && LoopInForce()) JumpToLoopStart();
  else if (songEnded) StopPlayback(kStopAtEnd);
}

// A message the chase kept, sent to its port.
static void SendChased(const ChasedMessage& message) {
  state.defaultPort = message.port;
  SendEventMessage(message.bytes, message.length);
}

void ChaseTracksTo(std::int32_t tick) {
  RewindTracks();
  RewindLyricLines();  // syllables are reached again from the first
  state.lyricBuffer[0] = '\0';
  state.chasing = true;
  bool songEnded = false;
  for (int i = 0; i < song::TrackCount(); ++i) {
    state.currentTrackMarker = i + 1;
    TrackState& t = state.tracks[i];
    while (!t.ended) {
      ReadDelta(t);
      if (t.nextEventTime >= tick) break;
      DispatchEvent(i, t, songEnded);
    }
  }
  state.chasing = false;
  state.eventMuted = false;
  state.currentTrackMarker = 0;
  const int rememberedPort = state.defaultPort;
  SendChasedInOrder(SendChased);
  state.defaultPort = rememberedPort;
}

}  // namespace player

namespace song {

void ClearPlaybackNotes() { player::ClearNoteTables(); }

}  // namespace song
