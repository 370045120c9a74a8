#include "player/guide_track.h"

#include <algorithm>

#include "base/module_state.h"
#include "player/event_dispatch.h"
#include "player/happenings.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"
#include "song/measure_map.h"
#include "song/song_parts.h"
#include "song/song_scan.h"
#include "song/song_store.h"
#include "song/track_cursor.h"

namespace player {

// A chord holds each of the 128 notes at most once.
constexpr int kChordNotesMax = 128;
// Notes of the part that start at most this long after a chord's first
// note belong to that chord: a strummed or rolled chord is one chord.
constexpr std::int64_t kChordSpreadMicroseconds = 30000;

// The guide's own walk of the part's track (apart from the dispatcher's
// walk of the same track), its note and tick, the chord at that tick, and
// whether it has read past the part's last note.
namespace {
struct State {
  song::TrackCursor cursor;
  std::int32_t guideTick = 0;
  int guideNote = kNoGuideNote;
  std::uint8_t guideVelocity = 0;
  int lastShownGuideNote = 0;
  std::uint8_t chordNotes[kChordNotesMax]{};
  std::uint8_t chordVelocities[kChordNotesMax]{};
  bool chordNoteTaken[kChordNotesMax]{};
  int chordSize = 0;
  bool partEnded = false;
};
base::ModuleState<State> state;
}  // namespace

int GuideNote() { return state.guideNote; }
void SetGuideNote(int note) { state.guideNote = note; }
bool GuideOver() { return state.guideNote == kNoGuideNote; }
std::int32_t GuideTick() { return state.guideTick; }
std::uint8_t GuideVelocity() { return state.guideVelocity; }
int GuideChordSize() { return state.chordSize; }
int GuideChordNote(int i) { return state.chordNotes[i]; }
bool GuideChordNoteWaits(int i) { return !state.chordNoteTaken[i]; }
bool GuideChordBegun() {
  return std::any_of(state.chordNoteTaken, state.chordNoteTaken + state.chordSize, [](bool taken) { return taken; });
}
int LastShownGuideNote() { return state.lastShownGuideNote; }
void SetLastShownGuideNote(int note) { state.lastShownGuideNote = note & 0xFF; }

// The part the guide follows, or nullptr when the song has none.
static const song::SongPart* GuidePart() {
  const int chosen = song::ChosenPart();
  if (chosen == song::kNoPart) return nullptr;
  const song::SongPart& part = song::Part(chosen);
  return part.track < song::TrackCount() ? &part : nullptr;
}

bool IsGuidePartNote(int trackIndex, int channel, int note, std::int32_t tick, bool noteOff) {
  const song::SongPart* part = GuidePart();
  return part != nullptr && part->track == trackIndex &&
         (part->channel == song::kWholeTrack || part->channel == channel) &&
         song::PartHoldsNote(*part, tick, channel, note, noteOff);
}

std::string ChosenPartId() {
  const song::SongPart* part = GuidePart();
  return part != nullptr ? part->id : std::string();
}

// A song without parts has no guide: it counts as ended from the start.
bool GuideEnded() {
  const song::SongPart* part = GuidePart();
  return part == nullptr || state.partEnded || TrackEnded(part->track);
}

bool GuideChordBeforeSongEnd(std::int32_t position) {
  return IsGuidePerformed() && !GuideEnded() && position > song::ScannedEndTick() && state.guideTick < position;
}

bool IsGuidePerformed() { return HaltsAtGuide(RunMode()) && PlayState() == kPlaying; }

void BeginGuideTrack() {
  Report(Happening::Kind::GuideRestarts);
  state.chordSize = 0;
  state.partEnded = false;
  UnmuteAllTracks();  // an earlier run may have muted another part
  const song::SongPart* part = GuidePart();
  if (part == nullptr) {
    state.guideNote = kNoGuideNote;
    return;
  }
  state.cursor = song::TrackCursor::AtTrack(part->track);
  state.guideTick = 0;
  if (HaltsAtGuide(RunMode())) {
    // A whole track is muted; one channel of a track mutes only its notes,
    // and the rest of the track plays; one hand mutes only that hand's
    // notes, and the other hand plays.
    if (part->hand != song::PartHand::Both) SetTrackGuideNotesMuted(part->track);
    else if (part->channel == song::kWholeTrack) SetTrackEnabled(part->track, false);
    else SetTrackNoteChannelMuted(part->track, part->channel);
    AdvanceGuide();
  }
}

namespace {

// A note-on of the part: of its channel (any channel for a whole track)
// and its hand, with a velocity. Data bytes lie below 80h: a note-on that breaks this (a
// damaged file) is no note to play.
bool IsPartNoteOn(const song::SongPart& part, const song::TrackEvent& e) {
  const bool partChannel = part.channel == song::kWholeTrack || part.channel == e.Channel();
  return e.IsNoteOn() && partChannel && e.data1 < 0x80 && e.data2 < 0x80 &&
         song::PartHoldsNote(part, e.time, e.Channel(), e.data1, false);
}

// The part's next note from `cursor` on, or the track's end.
struct PartNote {
  bool end = true;
  std::int32_t tick = 0;
  std::uint8_t note = 0;
  std::uint8_t velocity = 0;
};

PartNote ReadToNextNote(const song::SongPart& part, song::TrackCursor& cursor) {
  for (;;) {
    const song::TrackEvent e = cursor.Next();
    if (e.kind == song::EventKind::End) return {true, e.time, 0, 0};
    if (IsPartNoteOn(part, e)) return {false, e.time, e.data1, e.data2};
  }
}

// The part's first note at or after `tick`, read from the top, with
// `cursor` just past it (or at the end): the guide's one scan.
PartNote FirstNoteFrom(const song::SongPart& part, std::int32_t tick, song::TrackCursor& cursor) {
  cursor = song::TrackCursor::AtTrack(part.track);
  PartNote found;
  do found = ReadToNextNote(part, cursor);
  while (!found.end && found.tick < tick);
  return found;
}

// The guide stands on `found`: its note, or the part's end.
void StandOn(const song::SongPart& part, const PartNote& found) {
  state.guideTick = found.tick;
  if (!found.end) {
    state.guideNote = found.note;
    state.guideVelocity = found.velocity;
    return;
  }
  state.guideNote = kNoGuideNote;
  state.partEnded = true;
  // A muted whole track has nothing more to send (a hand's track still
  // has the other hand's). The first track's end is the song's, which the
  // dispatcher must reach itself.
  if (part.channel == song::kWholeTrack && part.hand == song::PartHand::Both && part.track != 0)
    SetTrackEnded(part.track);
}

}  // namespace

bool GuideHasNote() {
  const song::SongPart* part = GuidePart();
  song::TrackCursor cursor;
  return part != nullptr && !FirstNoteFrom(*part, INT32_MIN, cursor).end;
}

namespace {

// The tempo the song plays at where `tick` lies: that of the measure
// holding it, as the measure map keeps it (whole quarters a minute).
int TempoAtTick(std::int32_t tick) {
  return std::clamp(song::MeasureStartOf(song::MeasureOfTick(tick)).tempo, kMinTempo, kMaxTempo);
}

// Whether a note at `tick` starts close enough after the chord's first note
// to belong to it: in song time at the song's own tempo, so the speed the
// player chose never changes which notes form a chord.
bool WithinChord(std::int32_t tick) {
  const std::int64_t ticks = static_cast<std::int64_t>(tick) - state.guideTick;
  const std::int64_t microsecondsPerQuarter = song::kMicrosecondsPerMinute / TempoAtTick(state.guideTick);
  return ticks * microsecondsPerQuarter <= kChordSpreadMicroseconds * std::max(song::Division(), 0);
}

// The chord starts with the note just scanned; every other note-on that
// starts within the chord's spread joins it (a note already in it is not
// added twice). The scan stops before the first event past the spread, or
// the end, so the next advance reads it.
void GatherChord() {
  state.chordSize = 0;
  const song::SongPart* part = GuidePart();
  if (state.guideNote == kNoGuideNote || part == nullptr) return;
  const auto add = [](std::uint8_t note, std::uint8_t velocity) {
    if (state.chordSize == kChordNotesMax) return;
    for (int i = 0; i < state.chordSize; ++i)
      if (state.chordNotes[i] == note) return;
    state.chordNotes[state.chordSize] = note;
    state.chordVelocities[state.chordSize] = velocity;
    state.chordNoteTaken[state.chordSize] = false;
    ++state.chordSize;
  };
  add(static_cast<std::uint8_t>(state.guideNote), state.guideVelocity);
  for (;;) {
    song::TrackCursor ahead = state.cursor;
    const song::TrackEvent e = ahead.Next();
    if (e.kind == song::EventKind::End || !WithinChord(e.time)) return;
    state.cursor = ahead;
    if (IsPartNoteOn(*part, e)) add(e.data1, e.data2);
  }
}

// The chord's waiting note at index `i` becomes the guide note.
void StandOnChordNote(int i) {
  state.guideNote = state.chordNotes[i];
  state.guideVelocity = state.chordVelocities[i];
}

}  // namespace

int GuideNoteToShow() {
  if (state.guideNote == kNoGuideNote || !LoopEndReached(state.guideTick)) return state.guideNote;
  const song::SongPart* part = GuidePart();
  if (part == nullptr) return kNoGuideNote;
  song::TrackCursor cursor;
  const PartNote first = FirstNoteFrom(*part, LoopStartTick(), cursor);
  return !first.end && first.tick < LoopEndTick() ? first.note : kNoGuideNote;
}

void AdvanceGuide() {
  if (GuideEnded()) return;
  // An early press never moves the song past a loop's end: the loop sends
  // it back first.
  if (SongPosition() < state.guideTick && !LoopEndReached(state.guideTick)) {
    SetSongPosition(state.guideTick);
    if (PlayState() == kPlaying) DispatchDueEvents();
    ReanchorAt(state.guideTick);
  }
  const song::SongPart* part = GuidePart();
  StandOn(*part, ReadToNextNote(*part, state.cursor));
  GatherChord();
}

void RestartGuideAt(std::int32_t tick) {
  const song::SongPart* part = GuidePart();
  if (part == nullptr) return;
  state.partEnded = false;
  StandOn(*part, FirstNoteFrom(*part, tick, state.cursor));
  GatherChord();
}

static int TakeNote(int pressedNote) {
  int taken = -1, firstWaiting = -1;
  for (int i = 0; i < state.chordSize; ++i) {
    if (state.chordNoteTaken[i]) continue;
    if (firstWaiting < 0) firstWaiting = i;
    if (state.chordNotes[i] == pressedNote) taken = i;
  }
  if (taken < 0) taken = firstWaiting;
  if (taken < 0 || state.guideNote == kNoGuideNote) {
    // No chord to take from (the guide has ended): the note as it stands.
    const int guideNote = state.guideNote;
    state.lastShownGuideNote = guideNote & 0xFF;
    AdvanceGuide();
    return guideNote == kNoGuideNote ? pressedNote : guideNote;
  }
  const int takenNote = state.chordNotes[taken];
  state.chordNoteTaken[taken] = true;
  state.lastShownGuideNote = takenNote;
  for (int i = 0; i < state.chordSize; ++i) {
    if (!state.chordNoteTaken[i]) {
      StandOnChordNote(i);
      return takenNote;
    }
  }
  AdvanceGuide();  // the chord is complete
  return takenNote;
}

TakenNote TakeGuideNote(int pressedNote) {
  const int note = TakeNote(pressedNote);
  return {note, TakeHappenings()};
}

}  // namespace player
