#include "game/notes_ahead_lane.h"

#include <algorithm>
#include <array>

#include "game/computer_keyboard.h"
#include "song/measure_map.h"
#include "song/song_parts.h"
#include "song/song_store.h"
#include "song/track_cursor.h"

namespace game {

namespace {

constexpr std::uint8_t kMetaTempo = 0x51;
constexpr std::uint8_t kMetaTimeSignature = 0x58;
constexpr int kSecondsInView = 2;
constexpr int kMeasuresInView = 2;
// Beyond these a signature or tempo is taken as damage: the lane would
// hold too much to read.
constexpr int kLongestMeasureCounted = 16;
constexpr int kFastestTempoCounted = 600;
// A lane never holds more measure lines than this (a damaged signature).
constexpr std::size_t kMostMeasureRows = 64;
constexpr int kNoNote = -1;
// A passage shorter than the lane shows again and again: so many times at most.
constexpr int kMostStretches = 64;

// Two of the song's longest measures or two seconds at its fastest tempo,
// in quarter notes, whichever is more; the default 4/4 at 120 holds until
// the conductor track's first signature or tempo.
int BeatsInView() {
  int longestMeasure = 0;
  int fastestTempo = 0;
  bool signatureAtStart = false;
  bool tempoAtStart = false;
  song::TrackCursor cursor = song::TrackCursor::AtTrack(song::ConductorTrack());
  for (;;) {
    const song::TrackEvent e = cursor.Next();
    if (e.kind == song::EventKind::End) break;
    if (e.kind != song::EventKind::Meta) continue;
    if (e.metaType == kMetaTimeSignature) {
      const int quarters = std::clamp<int>(song::SongByte(e.offset + 3), 1, kLongestMeasureCounted);
      longestMeasure = std::max(longestMeasure, quarters);
      signatureAtStart = signatureAtStart || e.time == 0;
    }
    const std::int32_t microseconds = song::SongByte(e.offset + 3) << 16 | song::SongByte(e.offset + 4) << 8 |
                                      song::SongByte(e.offset + 5);
    if (e.metaType == kMetaTempo && microseconds > 0) {
      fastestTempo = std::max(fastestTempo, std::clamp(song::kMicrosecondsPerMinute / microseconds, 1,
                                                       kFastestTempoCounted));
      tempoAtStart = tempoAtStart || e.time == 0;
    }
  }
  if (!signatureAtStart) longestMeasure = std::max(longestMeasure, 4);
  if (!tempoAtStart) fastestTempo = std::max(fastestTempo, song::kDefaultTempo);
  const int beatsInTwoSeconds = (fastestTempo * kSecondsInView + 59) / 60;
  return std::max(kMeasuresInView * longestMeasure, beatsInTwoSeconds);
}

// A note-on of the part, as the guide takes it: of its channel (any for a
// whole track), with a velocity, and data bytes below 80h.
bool IsPartNoteOn(const song::SongPart& part, const song::TrackEvent& e) {
  const bool partChannel = part.channel == song::kWholeTrack || part.channel == e.Channel();
  return e.IsNoteOn() && partChannel && e.data1 < 0x80 && e.data2 < 0x80;
}
bool IsPartNoteOff(const song::SongPart& part, const song::TrackEvent& e) {
  const bool partChannel = part.channel == song::kWholeTrack || part.channel == e.Channel();
  return e.IsNoteOff() && partChannel && e.data1 < 0x80;
}

LaneNote NoteFallingOntoItsKey(std::int32_t tick, std::uint8_t note) {
  const KeyShown shown = KeyShowing(NoteInReach(note) - kPianoLowestNote);
  LaneNote lane;
  lane.tick = tick;
  lane.endTick = tick;
  lane.note = note;
  lane.key = static_cast<std::int8_t>(shown.key);
  lane.octave = static_cast<std::int8_t>(shown.octave);
  return lane;
}

// Each note ends at its note-off, at its own next start (a note struck
// again), or at the track's end.
void ReadPartNotes(const song::SongPart& part, std::vector<LaneNote>& notes) {
  std::array<std::array<int, 128>, 16> sounding;
  for (auto& channel : sounding) channel.fill(kNoNote);
  song::TrackCursor cursor = song::TrackCursor::AtTrack(part.track);
  for (;;) {
    const song::TrackEvent e = cursor.Next();
    if (e.kind == song::EventKind::End) {
      for (auto& channel : sounding)
        for (int index : channel)
          if (index != kNoNote) notes[static_cast<std::size_t>(index)].endTick = e.time;
      return;
    }
    const bool on = IsPartNoteOn(part, e);
    if (!on && !IsPartNoteOff(part, e)) continue;
    int& open = sounding[static_cast<std::size_t>(e.Channel())][e.data1];
    if (open != kNoNote) notes[static_cast<std::size_t>(open)].endTick = e.time;
    open = kNoNote;
    if (!on) continue;
    open = static_cast<int>(notes.size());
    notes.push_back(NoteFallingOntoItsKey(e.time, e.data1));
  }
}

// Notes that start together on one key share its column.
void ShareColumns(std::vector<LaneNote>& notes) {
  std::stable_sort(notes.begin(), notes.end(), [](const LaneNote& a, const LaneNote& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.key != b.key ? a.key < b.key : a.note < b.note;
  });
  for (std::size_t first = 0; first < notes.size();) {
    std::size_t last = first;
    const auto together = [&](std::size_t i) {
      return notes[i].tick == notes[first].tick && notes[i].key == notes[first].key;
    };
    while (last + 1 < notes.size() && together(last + 1)) ++last;
    const std::size_t count = std::min<std::size_t>(last - first + 1, 255);
    for (std::size_t i = first; i <= last; ++i) {
      notes[i].slot = static_cast<std::uint8_t>(std::min(i - first, count - 1));
      notes[i].slots = static_cast<std::uint8_t>(count);
    }
    first = last + 1;
  }
}

void AddBar(const LaneSong& lane, int index, std::int64_t front, std::int64_t back, bool sounding,
            std::vector<LaneBar>& bars) {
  const LaneNote& note = lane.notes[static_cast<std::size_t>(index)];
  const int bottom = LaneRow(lane, front);
  int top = std::max(LaneRow(lane, back) + 1, kLaneTop);
  if (bottom - top < 2) top = std::max(bottom - 2, kLaneTop);
  if (bottom <= top) return;
  const KeySpan span = KeyTopSpan(note.key);
  const int width = span.right - span.left;
  const int inset = note.slots > 1 ? 1 : 2;
  const int left = span.left + width * note.slot / note.slots + inset;
  const int right = span.left + width * (note.slot + 1) / note.slots - inset;
  bars.push_back({{left, top, std::max(right, left + 1), bottom}, index, front, sounding});
}

// The song's ticks from `from` to `to` shown from `shownFrom` ticks ahead
// of the position on; notes that start before `earliest` are left out.
void AddStretch(const LaneSong& lane, std::int32_t from, std::int32_t to, std::int64_t shownFrom, std::int32_t earliest,
                std::vector<LaneBar>& bars, std::vector<int>& measureRows) {
  // No note that starts earlier than the longest note before `from` still sounds.
  const auto searchFrom = static_cast<std::int32_t>(
      std::max<std::int64_t>(earliest, static_cast<std::int64_t>(from) - lane.longestNote));
  auto note = std::lower_bound(lane.notes.begin(), lane.notes.end(), searchFrom,
                               [](const LaneNote& n, std::int32_t tick) { return n.tick < tick; });
  for (; note != lane.notes.end() && note->tick < to; ++note) {
    if (note->tick < earliest || (note->tick < from && note->endTick <= from)) continue;
    const std::int64_t front = std::max(note->tick, from) - static_cast<std::int64_t>(from) + shownFrom;
    const std::int64_t back = std::min(note->endTick, to) - static_cast<std::int64_t>(from) + shownFrom;
    AddBar(lane, static_cast<int>(note - lane.notes.begin()), front, back, note->tick < from, bars);
  }
  int measure = song::MeasureOfTick(from);
  if (song::MeasureFirstTick(measure) < from) ++measure;
  for (std::int32_t tick = song::MeasureFirstTick(measure), previous = INT32_MIN;
       tick < to && tick > previous && measureRows.size() < kMostMeasureRows;
       previous = tick, tick = song::MeasureFirstTick(++measure))
    measureRows.push_back(LaneRow(lane, tick - static_cast<std::int64_t>(from) + shownFrom) - 1);
}

}  // namespace

LaneSong GatherLaneSong() {
  LaneSong lane;
  lane.beatsInView = BeatsInView();
  lane.viewTicks = lane.beatsInView * std::max(song::Division(), 1);
  const int chosen = song::ChosenPart();
  if (chosen == song::kNoPart || song::Part(chosen).track >= song::TrackCount()) return lane;
  ReadPartNotes(song::Part(chosen), lane.notes);
  ShareColumns(lane.notes);
  for (const LaneNote& note : lane.notes) lane.longestNote = std::max(lane.longestNote, note.endTick - note.tick);
  return lane;
}

int LaneRow(const LaneSong& lane, std::int64_t ticksAhead) {
  return kLaneBottom - static_cast<int>(ticksAhead * kLaneHeight / lane.viewTicks);
}

void LaneBars(const LaneSong& lane, const LaneWindow& window, std::vector<LaneBar>& bars,
              std::vector<int>& measureRows) {
  bars.clear();
  measureRows.clear();
  const bool loop = window.loop && window.position < window.loopEnd && window.loopStart < window.loopEnd;
  // After a jump back the notes sounding across the loop's start are not
  // played again: a passage shows only the notes that start in it.
  const std::int32_t earliest = loop ? window.loopStart : INT32_MIN;
  std::int32_t from = window.position;
  std::int64_t shown = 0;
  for (int stretch = 0; shown < lane.viewTicks && stretch < kMostStretches; ++stretch) {
    const std::int64_t wanted = from + (lane.viewTicks - shown);
    const std::int32_t to = static_cast<std::int32_t>(loop ? std::min<std::int64_t>(window.loopEnd, wanted)
                                                          : std::min<std::int64_t>(INT32_MAX, wanted));
    AddStretch(lane, from, to, shown, earliest, bars, measureRows);
    if (!loop || to <= from) break;
    shown += to - from;
    from = window.loopStart;
  }
}

}  // namespace game
