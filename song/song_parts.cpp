#include "song/song_parts.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <tuple>
#include <vector>

#include "base/module_state.h"
#include "platform/platform.h"
#include "report/report.h"
#include "song/default_part.h"
#include "song/gm_instrument_names.h"
#include "song/hand_split.h"
#include "song/measure_map.h"
#include "song/song_store.h"
#include "song/track_cursor.h"
#include "song/track_reader.h"

namespace song {

// A note's start or end as a hand part looks it up: which hand it is of
// (PartHand::Both for a note-off both hands end at one tick).
struct HandKey {
  std::int32_t tick = 0;
  int channel = 0;
  int pitch = 0;
  PartHand hand = PartHand::Both;
  auto Order() const { return std::tuple(tick, channel, pitch); }
};

// The hands of one part's notes, by note-on and by note-off.
struct HandTable {
  int track = 0;
  int channel = kWholeTrack;
  std::vector<HandKey> noteOns;
  std::vector<HandKey> noteOffs;
  int rightNotes = 0;
  int leftNotes = 0;
};

// The current song's parts, its default, the one the player chose, the
// one whose ranking is the song's own file and the hands of the parts
// played by two.
namespace {
struct State {
  std::vector<SongPart> parts;
  std::vector<HandTable> handTables;
  int defaultPart = kNoPart;
  int chosenPart = kNoPart;
  int songRankingPart = kNoPart;
};
base::ModuleState<State> state;
}  // namespace

static constexpr int kChannels = 16;
static constexpr int kPitches = 128;
static constexpr int kNone = -1;
static constexpr int kSecondTrack = 1;
static constexpr report::PlayerText kRightHandSuffix = {"、右手", ", right hand"};
static constexpr report::PlayerText kLeftHandSuffix = {"、左手", ", left hand"};

int PartCount() { return static_cast<int>(state.parts.size()); }
const SongPart& Part(int index) { return state.parts[static_cast<std::size_t>(index)]; }
int DefaultPart() { return state.defaultPart; }
int ChosenPart() { return state.chosenPart; }
int SongRankingPart() { return state.songRankingPart; }

void ChoosePart(int index) {
  if (index >= 0 && index < PartCount()) state.chosenPart = index;
}

int FindPart(std::string_view id) {
  for (int i = 0; i < PartCount(); ++i)
    if (Part(i).id == id) return i;
  return kNoPart;
}

bool PartHoldsNote(const SongPart& part, std::int32_t tick, int channel, int pitch, bool noteOff) {
  if (part.hand == PartHand::Both) return true;
  for (const HandTable& table : state.handTables) {
    if (table.track != part.track || table.channel != part.channel) continue;
    const std::vector<HandKey>& keys = noteOff ? table.noteOffs : table.noteOns;
    const HandKey wanted{tick, channel, pitch};
    const auto found = std::lower_bound(keys.begin(), keys.end(), wanted,
                                        [](const HandKey& a, const HandKey& b) { return a.Order() < b.Order(); });
    return found != keys.end() && found->Order() == wanted.Order() && found->hand == part.hand;
  }
  return false;
}

std::string PartDisplayName(const SongPart& part) {
  std::string name = platform::AnsiToUtf8(part.name);
  if (part.hand == PartHand::Right) name += report::InPlayersLanguage(kRightHandSuffix);
  if (part.hand == PartHand::Left) name += report::InPlayersLanguage(kLeftHandSuffix);
  return name;
}

namespace {

// The notes of one channel, or of a whole track off the drum channel: how
// many of each pitch, and how many start together with another (within a
// 64th note of the one before or after).
struct NoteSurvey {
  int pitches[kPitches]{};
  int chordNotes = 0;
  std::int32_t lastStart = 0;
  bool any = false;
  bool lastInChord = false;
  int firstNotePort = 0;

  void Add(int pitch, std::int32_t time, std::int32_t together, int port) {
    if (!any) firstNotePort = port;
    if (any && std::int64_t{time} - lastStart <= together) {
      chordNotes += lastInChord ? 1 : 2;
      lastInChord = true;
    } else {
      lastInChord = false;
    }
    any = true;
    lastStart = time;
    ++pitches[pitch];
  }
  // The lower middle pitch; 0 without notes.
  int MiddlePitch() const {
    int total = 0;
    for (int n : pitches) total += n;
    for (int pitch = 0, below = 0; pitch < kPitches; ++pitch)
      if ((below += pitches[pitch]) * 2 >= total && total > 0) return pitch;
    return 0;
  }
};

// What one walk over a track learns about its notes, programs, port and
// name.
struct TrackSurvey {
  int notes[kChannels]{};
  int firstProgram[kChannels] = {kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
                                 kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone};
  int firstProgramChannel = kNone;  // the first program change off the drum channel
  int firstNoteChannel = kNone;     // the first note-on off the drum channel
  NoteSurvey channelNotes[kChannels];
  NoteSurvey trackNotes;            // every channel but the drums'
  std::string name;
  bool named = false;
};

// The first name event's text, up to a zero byte, without trailing spaces.
std::string NameOf(const TrackEvent& event) {
  std::string name = MetaText(event, kPartNameMaxBytes);
  name.resize(std::min(name.size(), name.find('\0')));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

// Walks a track as the guide reads it; the port follows its port prefixes
// as the dispatcher reads them.
TrackSurvey SurveyTrack(int slot) {
  TrackSurvey survey;
  const std::int32_t together = std::max<std::int32_t>(0, Division() / 16);
  TrackCursor cursor = TrackCursor::AtTrack(slot);
  int port = 0;
  for (;;) {
    const TrackEvent e = cursor.Next();
    if (e.kind == EventKind::End) break;
    const int channel = e.Channel();
    if (e.IsNoteOn()) {
      ++survey.notes[channel];
      const int pitch = e.data1 & 0x7F;
      if (channel != kDrumChannel) {
        if (survey.firstNoteChannel == kNone) survey.firstNoteChannel = channel;
        survey.channelNotes[channel].Add(pitch, e.time, together, port);
        survey.trackNotes.Add(pitch, e.time, together, port);
      }
    } else if (e.kind == EventKind::Channel && (e.status & 0xF0) == 0xC0) {
      if (survey.firstProgram[channel] == kNone) survey.firstProgram[channel] = e.data1 & 0x7F;
      if (channel != kDrumChannel && survey.firstProgramChannel == kNone) survey.firstProgramChannel = channel;
    } else if (e.kind == EventKind::Meta && e.metaType == kMetaTrackName && !survey.named) {
      survey.name = NameOf(e);
      survey.named = !survey.name.empty();
    } else if (e.kind == EventKind::Meta && e.metaType == kMetaPortPrefix) {
      port = SongByte(e.dataOffset);
    }
  }
  return survey;
}

std::string ChannelName(int channel) { return "Channel " + std::to_string(channel + 1); }

std::string ChannelPartName(const TrackSurvey& survey, int channel) {
  const int program = survey.firstProgram[channel];
  return program != kNone ? GmInstrumentName(program) : ChannelName(channel);
}

void AddPart(SongPart part, const NoteSurvey& notes, const TrackSurvey& survey) {
  part.port = notes.firstNotePort;
  part.program = survey.firstProgram[part.soundChannel];
  part.chordNotes = notes.chordNotes;
  part.middlePitch = notes.MiddlePitch();
  state.parts.push_back(std::move(part));
}

// One part for each channel with notes of a one-track song. The track's
// name (often the song's title) names none of them: an instrument or the
// channel tells them apart.
void AddChannelParts(const TrackSurvey& survey) {
  for (int channel = 0; channel < kChannels; ++channel) {
    if (channel == kDrumChannel || survey.notes[channel] == 0) continue;
    SongPart part{0, channel, survey.notes[channel], ChannelPartName(survey, channel), "t1c" + std::to_string(channel + 1)};
    part.soundChannel = channel;
    AddPart(std::move(part), survey.channelNotes[channel], survey);
  }
}

// A track with notes off the drum channel is a part, all its notes guided.
void AddTrackPart(const TrackSurvey& survey, int slot) {
  if (survey.firstNoteChannel == kNone) return;
  int notes = 0;
  for (int n : survey.notes) notes += n;
  std::string name = survey.name;
  if (!survey.named)
    name = survey.firstProgramChannel != kNone ? ChannelPartName(survey, survey.firstProgramChannel)
                                               : ChannelName(survey.firstNoteChannel);
  SongPart part{slot, kWholeTrack, notes, name, "t" + std::to_string(slot + 1)};
  part.soundChannel = survey.firstNoteChannel;
  part.named = survey.named;
  part.drumNotes = survey.notes[kDrumChannel];
  AddPart(std::move(part), survey.trackNotes, survey);
}

// A part whose own track sets no program on its channel plays the first
// program another track sets there.
void TakeProgramsFromOtherTracks(const std::vector<TrackSurvey>& surveys) {
  for (SongPart& part : state.parts)
    for (std::size_t t = 0; t < surveys.size() && part.program == kNoProgram; ++t)
      part.program = surveys[t].firstProgram[part.soundChannel];
}

// A note of a part as the hand split reads it, with where it ends.
struct PartNoteSpan {
  HandNote note;
  int channel = 0;
  bool ended = false;  // a note-off ends it (else the track's end does)
};

// Ticks from `from` to `to`, never negative: a damaged file's times can
// wrap past the int range, so the difference is taken in 64 bits.
std::int32_t TicksBetween(std::int32_t from, std::int32_t to) {
  const std::int64_t ticks = std::int64_t{to} - from;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(ticks, 0, std::numeric_limits<std::int32_t>::max()));
}

// The part's notes in the order they start, each paired with the first
// note-off of its channel and pitch after it (the first begun, the first
// ended). Notes as the guide reads them: of its channel, with a velocity.
std::vector<PartNoteSpan> PartNoteSpans(const SongPart& part) {
  std::vector<PartNoteSpan> spans;
  std::vector<std::deque<std::size_t>> open(kChannels * kPitches);
  TrackCursor cursor = TrackCursor::AtTrack(part.track);
  for (;;) {
    const TrackEvent e = cursor.Next();
    if (e.kind == EventKind::End) {
      for (PartNoteSpan& span : spans)
        if (!span.ended) span.note.length = TicksBetween(span.note.tick, e.time);
      return spans;
    }
    if (part.channel != kWholeTrack && part.channel != e.Channel()) continue;
    if (e.data1 >= 0x80 || e.data2 >= 0x80) continue;
    std::deque<std::size_t>& waiting = open[static_cast<std::size_t>(e.Channel() * kPitches + e.data1)];
    if (e.IsNoteOn()) {
      waiting.push_back(spans.size());
      spans.push_back({{e.time, 0, e.data1}, e.Channel()});
    } else if (e.IsNoteOff() && !waiting.empty()) {
      PartNoteSpan& span = spans[waiting.front()];
      waiting.pop_front();
      span.note.length = TicksBetween(span.note.tick, e.time);
      span.ended = true;
    }
  }
}

// The hand table of a part played by two hands; nothing when it is not.
std::optional<HandTable> HandsOf(const SongPart& part) {
  if (part.drumNotes > 0) return std::nullopt;
  const std::vector<PartNoteSpan> spans = PartNoteSpans(part);
  std::vector<HandNote> notes;
  for (const PartNoteSpan& span : spans) notes.push_back(span.note);
  // Only the measures a note starts in and their neighbours matter: a long
  // song's empty measures (or a damaged file's billions) are never listed.
  std::vector<int> measures;
  for (const HandNote& note : notes)
    for (std::int64_t m = MeasureOfTick(note.tick) - 1, last = m + 3; m <= last; ++m)
      measures.push_back(static_cast<int>(std::clamp<std::int64_t>(m, 0, INT32_MAX)));
  std::sort(measures.begin(), measures.end());
  measures.erase(std::unique(measures.begin(), measures.end()), measures.end());
  std::vector<std::int32_t> measureStarts;
  for (int m : measures) measureStarts.push_back(MeasureFirstTick(m));
  measureStarts.erase(std::unique(measureStarts.begin(), measureStarts.end()), measureStarts.end());
  const HandSplit split = SplitHands(notes, measureStarts);
  if (!split.twoHands) return std::nullopt;
  HandTable table{part.track, part.channel, {}, {}, 0, 0};
  for (std::size_t i = 0; i < spans.size(); ++i) {
    const PartHand hand = split.hands[i] == Hand::Right ? PartHand::Right : PartHand::Left;
    const HandNote& n = spans[i].note;
    ++(hand == PartHand::Right ? table.rightNotes : table.leftNotes);
    table.noteOns.push_back({n.tick, spans[i].channel, n.pitch, hand});
    if (spans[i].ended) table.noteOffs.push_back({n.tick + n.length, spans[i].channel, n.pitch, hand});
  }
  const auto byOrder = [](const HandKey& a, const HandKey& b) { return a.Order() < b.Order(); };
  for (std::vector<HandKey>* keys : {&table.noteOns, &table.noteOffs}) {
    std::stable_sort(keys->begin(), keys->end(), byOrder);
    // A key both hands share belongs to neither: one entry, of both.
    std::vector<HandKey> merged;
    for (const HandKey& key : *keys) {
      if (!merged.empty() && merged.back().Order() == key.Order()) {
        if (merged.back().hand != key.hand) merged.back().hand = PartHand::Both;
      } else {
        merged.push_back(key);
      }
    }
    *keys = std::move(merged);
  }
  return table;
}

// Each part played by two hands is followed by its right and its left
// hand; their notes are those of the part that hand plays.
void AddHandParts() {
  std::vector<SongPart> withHands;
  for (const SongPart& part : state.parts) {
    withHands.push_back(part);
    std::optional<HandTable> table = HandsOf(part);
    if (!table) continue;
    for (PartHand hand : {PartHand::Right, PartHand::Left}) {
      SongPart handPart = part;
      handPart.hand = hand;
      handPart.id += hand == PartHand::Right ? "r" : "l";
      handPart.notes = hand == PartHand::Right ? table->rightNotes : table->leftNotes;
      withHands.push_back(std::move(handPart));
    }
    state.handTables.push_back(std::move(*table));
  }
  state.parts = std::move(withHands);
}

}  // namespace

void FindSongParts() {
  state.Reset();
  const int tracks = TrackCount();
  std::vector<TrackSurvey> surveys;
  for (int slot = 0; slot < tracks && slot < kTrackSlots; ++slot) surveys.push_back(SurveyTrack(slot));
  if (tracks == 1) AddChannelParts(surveys[0]);
  for (int slot = 0; tracks > 1 && slot < static_cast<int>(surveys.size()); ++slot)
    AddTrackPart(surveys[static_cast<std::size_t>(slot)], slot);
  TakeProgramsFromOtherTracks(surveys);
  AddHandParts();
  for (int i = 0; i < PartCount() && state.songRankingPart == kNoPart; ++i)
    if (Part(i).track == kSecondTrack && Part(i).hand == PartHand::Both) state.songRankingPart = i;
  if (state.songRankingPart == kNoPart && PartCount() > 0) state.songRankingPart = 0;
  state.defaultPart = ChooseDefaultPart(state.parts);
  state.chosenPart = state.defaultPart;
}

}  // namespace song
