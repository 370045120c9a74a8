#include "player/event_dispatch.h"

#include <algorithm>
#include <cstring>

#include "base/module_state.h"
#include "midi/midi_out.h"
#include "platform/platform.h"
#include "player/beat_clicks.h"
#include "player/chase_table.h"
#include "player/guide_track.h"
#include "player/happenings.h"
#include "player/lyric_lines.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"
#include "song/measure_map.h"
#include "song/song_scan.h"
#include "song/song_store.h"
#include "song/track_cursor.h"
#include "song/track_reader.h"

namespace player {

// A track's walk: its cursor, the event read ahead (due at its time), where
// its messages go and what of it is muted.
struct TrackState {
  song::TrackCursor cursor;
  song::TrackEvent next;
  bool nextRead = false;
  bool ended = false;
  std::uint8_t outputPort = 0;
  bool muted = false;                   // only the guided part's track is ever muted
  std::uint16_t mutedNoteChannels = 0;  // channels whose note-ons are not sent (bit n: channel n)
  bool guideNotesMuted = false;         // the guided hand's note-ons are not sent
};

// How a walk over the tracks treats their events: playing sends them; a
// chase only remembers what it would send again.
enum class Walk { Play, Chase };

// Per-track walks, the note and pedal tables and the lyric buffer.
namespace {
struct State {
  TrackState tracks[song::kTrackSlots]{};
  std::int8_t soundingNotes[kNoteTablePorts][16][128]{};
  std::uint8_t sustainHeld[kNoteTablePorts][16]{};
  char lyricBuffer[kLyricBufferSize + 1]{};
  // The metronome: whether it is on, the position up to which its beats
  // have been clicked, and the click sounding (0: none) since when.
  bool metronomeOn = false;
  std::int32_t clickedUpTo = 0;
  std::uint8_t clickNote = 0;
  std::uint32_t clickSentMs = 0;
};
base::ModuleState<State> state;
}  // namespace

static constexpr std::int8_t kMaxNoteCount = 127;
static constexpr std::uint8_t kSustainController = 64;
static constexpr int kNoTrack = -1;

void ClearNoteTables() {
  std::memset(state.soundingNotes, 0, sizeof state.soundingNotes);
  std::memset(state.sustainHeld, 0, sizeof state.sustainHeld);
}

bool TrackEnded(int track) { return state.tracks[track].ended; }
void SetTrackEnded(int track) { state.tracks[track].ended = true; }
void SetTrackEnabled(int track, bool enabled) { state.tracks[track].muted = !enabled; }
void SetTrackNoteChannelMuted(int track, int channel) {
  state.tracks[track].mutedNoteChannels = static_cast<std::uint16_t>(state.tracks[track].mutedNoteChannels | (1u << channel));
}
void SetTrackGuideNotesMuted(int track) { state.tracks[track].guideNotesMuted = true; }
void UnmuteAllTracks() {
  for (TrackState& t : state.tracks) {
    t.muted = false;
    t.mutedNoteChannels = 0;
    t.guideNotesMuted = false;
  }
}
int TrackOutputPort(int track) { return state.tracks[track].outputPort; }
int SoundingNoteCount(int port, int channel, int note) { return state.soundingNotes[port][channel][note]; }
bool SustainHeld(int port, int channel) { return state.sustainHeld[port][channel] != 0; }
const char* LyricBuffer() { return state.lyricBuffer; }

void RewindTracks() {
  state.clickedUpTo = 0;
  for (int i = 0; i < song::TrackCount(); ++i) {
    TrackState& t = state.tracks[i];
    t.cursor = song::TrackCursor::AtTrack(i);
    t.nextRead = t.ended = false;
  }
}

// The one way out to a port: note and pedal bookkeeping and muting, for a
// message of track `track` (walked by `t`, whose event read ahead is the
// message's) or of none (kNoTrack, nullptr).
static int Deliver(int port, const std::uint8_t* message, int length, int track, const TrackState* t) {
  // Ports from 10 on have no column: no device has such a number either.
  const bool counted = port >= 0 && port < kNoteTablePorts;
  bool muted = t != nullptr && t->muted;
  if (length == 3) {
    const int kind = message[0] & 0xF0;
    const int channel = message[0] & 0x0F;
    const int note = message[1] & 0x7F;
    const bool noteOff = kind == 0x80 || (kind == 0x90 && message[2] == 0);
    const bool channelMuted = t != nullptr && ((t->mutedNoteChannels >> channel) & 1u) != 0;
    const bool handMuted = t != nullptr && kind == 0x90 && !noteOff && t->guideNotesMuted &&
                           IsGuidePartNote(track, channel, note, t->next.time, false);
    if (noteOff) {
      if (counted && state.soundingNotes[port][channel][note] > 0) --state.soundingNotes[port][channel][note];
      // A muted track still releases its notes, except the guided part in a
      // performance.
      muted = t != nullptr && IsGuidePartNote(track, channel, note, t->next.time, true) && IsGuidePerformed();
    } else if (((kind == 0x90 || kind == 0xA0) && channelMuted) || handMuted) {
      muted = true;  // the guided channel or hand of a track whose other notes play
    } else if (kind == 0x90 && !muted) {
      if (counted && state.soundingNotes[port][channel][note] < kMaxNoteCount) ++state.soundingNotes[port][channel][note];
    } else if (kind == 0xB0 && message[1] == kSustainController && !muted && t != nullptr) {
      if (counted) state.sustainHeld[port][channel] = message[2] > 64 ? 1 : 0;
    }
  }
  if (muted) return 0;
  return midi::SendMidiMessage(port, message, length);
}

int SendToPort(int port, const std::uint8_t* message, int length) {
  return Deliver(port, message, length, kNoTrack, nullptr);
}

void SetMetronomeOn(bool on) { state.metronomeOn = on; }
bool MetronomeOn() { return state.metronomeOn; }

static void EndClick() {
  // A stop that silenced the ports has ended it already.
  if (state.clickNote != 0 && SoundingNoteCount(0, kClickChannel, state.clickNote) > 0) {
    const std::uint8_t off[] = {static_cast<std::uint8_t>(0x90 | kClickChannel), state.clickNote, 0};
    SendToPort(0, off, 3);
  }
  state.clickNote = 0;
}

void SendClick(bool accented) {
  EndClick();
  state.clickNote = accented ? kAccentClickNote : kBeatClickNote;
  state.clickSentMs = platform::TimeMs();
  const std::uint8_t on[] = {static_cast<std::uint8_t>(0x90 | kClickChannel), state.clickNote, kClickVelocity};
  SendToPort(0, on, 3);
}

void EndClickAfter(std::uint32_t heldMs) {
  if (state.clickNote != 0 && platform::TimeMs() - state.clickSentMs >= heldMs) EndClick();
}

// The beat the song position passed since the last dispatch, clicked.
static void SoundMetronome() {
  const std::int32_t position = SongPosition();
  // A jump back the walk was not told of starts the count there.
  const std::int32_t from = std::min(state.clickedUpTo, position);
  state.clickedUpTo = position;
  if (!state.metronomeOn || PlayState() != kPlaying) return;
  // The song's end is no beat of it.
  const std::optional<Click> click = MetronomeClickBetween(from, position);
  if (click && click->tick < song::ScannedEndTick()) SendClick(click->accented);
}

void SilenceAllPorts() {
  for (int port = 0; port < kNoteTablePorts; ++port) {
    for (int channel = 0; channel < 16; ++channel) {
      for (int note = 0; note < 128; ++note) {
        const int count = state.soundingNotes[port][channel][note];
        if (count <= 0) continue;
        const std::uint8_t off[] = {static_cast<std::uint8_t>(0x90 | channel), static_cast<std::uint8_t>(note), 0};
        for (int i = 0; i <= count; ++i) SendToPort(port, off, 3);
        state.soundingNotes[port][channel][note] = 0;
      }
    }
    // Every note of the port is off before any of its pedals goes up.
    for (int channel = 0; channel < 16; ++channel) {
      if (state.sustainHeld[port][channel]) {
        const std::uint8_t pedalUp[] = {static_cast<std::uint8_t>(0xB0 | channel), kSustainController, 0};
        SendToPort(port, pedalUp, 3);
        state.sustainHeld[port][channel] = 0;
      }
    }
  }
}

namespace {

// A track's message: sent when playing, kept for later when chasing.
void SendFromTrack(int index, const TrackState& t, Walk walk, const std::uint8_t* message, int length) {
  if (walk == Walk::Chase) {
    if (!t.muted) RememberChased(t.outputPort, message, length);
    return;
  }
  Deliver(t.outputPort, message, length, index, &t);
}

// Puts `text` (at most the buffer's size) into the lyric buffer.
void FillLyricBuffer(const std::string& text) {
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(kLyricBufferSize));
  std::memcpy(state.lyricBuffer, text.data(), n);
  state.lyricBuffer[n] = '\0';
}

// A gathered lyric event: its line shows when it is the line's first, then
// its syllable lights.
void ShowGatheredSyllable(const TrackState& t, Walk walk) {
  const ReachedSyllable syllable = ReachNextSyllable();
  if (t.muted || syllable.line == nullptr) return;
  if (syllable.newLine) {
    FillLyricBuffer(*syllable.line);
    if (walk == Walk::Play) Report(Happening::Kind::LyricLine);
  }
  // A chase only finds the line in force; the screen shows it after the jump.
  if (syllable.start < kLyricBufferSize && walk == Walk::Play)
    Report(Happening::Kind::LyricSyllable, syllable.start, std::min(syllable.length, kLyricBufferSize - syllable.start));
}

void DispatchMeta(int index, TrackState& t, Walk walk, const song::TrackEvent& e) {
  const std::int32_t data = e.dataOffset;
  switch (e.metaType) {
    case song::kMetaText:
      if (IsGatheredLyricEvent(index, e.metaType)) ShowGatheredSyllable(t, walk);
      break;
    case song::kMetaLyric:
      if (IsGatheredLyricEvent(index, e.metaType)) {
        ShowGatheredSyllable(t, walk);
      } else if (!t.muted && !LyricsBySyllable()) {
        FillLyricBuffer(song::MetaText(e, kLyricBufferSize));
        if (walk == Walk::Play) Report(Happening::Kind::LyricLine);
      }
      break;
    case song::kMetaPortPrefix:
      t.outputPort = song::SongByte(data);
      break;
    case song::kMetaTempo:
      // A chase takes the tempo and signature from the measure map.
      if (index == song::ConductorTrack() && walk == Walk::Play) {
        // A tempo of 0 microseconds per quarter has no meaning: ignored.
        if (const std::int32_t microseconds = song::ReadBigEndian(data, 3); microseconds > 0) {
          SetTempo(song::kMicrosecondsPerMinute / microseconds);
          ApplyTempo();
        }
      }
      break;
    case song::kMetaTimeSignature:
      if (index == song::ConductorTrack() && walk == Walk::Play)
        ApplyTimeSignature(song::SongByte(data), song::SongByte(data + 1));
      break;
    default:
      break;
  }
}

// Sends the exclusive message in place: the last byte of its length field
// becomes F0h for the send and is put back afterwards.
void DispatchExclusive(int index, const TrackState& t, Walk walk, const song::TrackEvent& e) {
  const std::int32_t lengthEnd = e.dataOffset - 1;
  if (song::UsedSongBytes(lengthEnd, e.dataLength + 1) == nullptr) return;
  const std::uint8_t saved = song::SongByte(lengthEnd);
  song::PokeSongByte(lengthEnd, 0xF0);
  SendFromTrack(index, t, walk, song::UsedSongBytes(lengthEnd, e.dataLength + 1), e.dataLength + 1);
  song::PokeSongByte(lengthEnd, saved);
}

// In the demonstration the screen lights the guide part's sounding notes.
void ShowGuidePartNote(int index, std::int32_t tick, const std::uint8_t* message, int length) {
  const int kind = message[0] & 0xF0;
  if (length != 3 || (kind != 0x80 && kind != 0x90)) return;
  const bool noteOff = kind == 0x80 || message[2] == 0;
  if (HaltsAtGuide(RunMode()) || PlayState() != kPlaying ||
      !IsGuidePartNote(index, message[0] & 0x0F, message[1] & 0x7F, tick, noteOff))
    return;
  Report(Happening::Kind::DemoNote, message[1] & 0x7F, kind == 0x90 && message[2] != 0 ? 1 : 0);
}

void DispatchChannel(int index, const TrackState& t, Walk walk, const song::TrackEvent& e) {
  // Data bytes before any status (a track that ran on into the next chunk)
  // are never sent; a chase passes over what would reach no device (it
  // would be dropped) at once.
  if (e.status < 0x80 || (walk == Walk::Chase && t.outputPort >= midi::PortCount())) return;
  const int length = e.MessageLength();
  const std::uint8_t message[3] = {e.status, e.data1, e.data2};
  SendFromTrack(index, t, walk, message, length);
  if (walk == Walk::Play) ShowGuidePartNote(index, e.time, message, length);
}

// The track's next event, read once.
const song::TrackEvent& NextEvent(TrackState& t) {
  if (!t.nextRead) {
    t.next = t.cursor.Next();
    t.nextRead = true;
  }
  return t.next;
}

// Carries out the event read ahead on track `index`; true when it was an
// exclusive message, which ends the pass. `songEnded` is set when it ended
// the song (the end of the first track, while playing).
bool DispatchEvent(int index, TrackState& t, Walk walk, bool& songEnded) {
  const song::TrackEvent& e = t.next;
  t.nextRead = false;
  switch (e.kind) {
    case song::EventKind::End:
      t.ended = true;
      songEnded = songEnded || (index == 0 && PlayState() == kPlaying && walk == Walk::Play);
      return false;
    case song::EventKind::Meta: DispatchMeta(index, t, walk, e); return false;
    case song::EventKind::Exclusive: DispatchExclusive(index, t, walk, e); return true;
    case song::EventKind::System: return false;  // not sent
    case song::EventKind::Channel: DispatchChannel(index, t, walk, e); return false;
  }
  return false;
}

}  // namespace

void DispatchDueEvents() {
  SoundMetronome();
  bool songEnded = false;
  bool exclusiveSent = false;
  for (int i = 0; i < song::TrackCount() && !exclusiveSent; ++i) {
    TrackState& t = state.tracks[i];
    while (!t.ended) {
      if (SongPosition() <= NextEvent(t).time) break;
      if (DispatchEvent(i, t, Walk::Play, songEnded)) {
        exclusiveSent = true;
        break;
      }
    }
  }
  // A loop that reaches the song's end goes back rather than stop.
  if (songEnded && LoopInForce()) JumpToLoopStart();
  else if (songEnded) Stop(kStopAtEnd);
}

// A message the chase kept, sent to its port.
static void SendChased(const ChasedMessage& message) { SendToPort(message.port, message.bytes, message.length); }

void ChaseTracksTo(std::int32_t tick) {
  RewindTracks();
  state.clickedUpTo = tick;  // the loop's first beat clicks again
  RewindLyricLines();  // syllables are reached again from the first
  state.lyricBuffer[0] = '\0';
  bool songEnded = false;
  for (int i = 0; i < song::TrackCount(); ++i) {
    TrackState& t = state.tracks[i];
    while (!t.ended && NextEvent(t).time < tick) DispatchEvent(i, t, Walk::Chase, songEnded);
  }
  SendChasedInOrder(SendChased);
}

}  // namespace player
