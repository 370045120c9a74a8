#include "song/song_parts.h"

#include <cstdint>
#include <vector>

#include "song/gm_instrument_names.h"
#include "song/song_store.h"
#include "song/track_reader.h"

namespace song {

// The current song's parts, its default and the one the player chose.
namespace {
struct State {
  std::vector<SongPart> parts;
  int defaultPart = kNoPart;
  int chosenPart = kNoPart;
};
State state;
}  // namespace

static constexpr int kChannels = 16;
static constexpr int kNone = -1;

void ResetSongParts() { state = {}; }

int PartCount() { return static_cast<int>(state.parts.size()); }
const SongPart& Part(int index) { return state.parts[static_cast<std::size_t>(index)]; }
int DefaultPart() { return state.defaultPart; }
int ChosenPart() { return state.chosenPart; }

void ChoosePart(int index) {
  if (index >= 0 && index < PartCount()) state.chosenPart = index;
}

int FindPart(std::string_view id) {
  for (int i = 0; i < PartCount(); ++i)
    if (Part(i).id == id) return i;
  return kNoPart;
}

namespace {

// What one walk over a track learns about its notes, programs and name.
struct TrackSurvey {
  int notes[kChannels]{};
  int firstProgram[kChannels] = {kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
                                 kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone};
  int firstProgramChannel = kNone;  // the first program change off the drum channel
  int firstNoteChannel = kNone;     // the first note-on off the drum channel
  std::string name;
  bool named = false;
};

// The first name event's text, up to a zero byte, without trailing spaces.
std::string NameAt(std::int32_t position, std::int32_t length) {
  std::int32_t data = position + 2;
  const std::int32_t declared = ReadVarLen(data);
  std::string name;
  for (std::int32_t i = 0; i < declared && data + i < position + length && name.size() < kPartNameMaxBytes; ++i) {
    const std::uint8_t b = SongByte(data + i);
    if (b == 0) break;
    name.push_back(static_cast<char>(b));
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

// Walks a track with a running status of its own, as the guide reads it.
TrackSurvey SurveyTrack(int slot) {
  TrackSurvey survey;
  std::int32_t position = TrackEntry(kCurrentBank, slot);
  std::int32_t time = 0;
  std::uint8_t runningStatus = 0;
  for (;;) {
    std::int32_t length = ReadEvent(position, time);
    const std::int32_t type = LastMetaType();
    if (type == kMetaEndOfTrack || length <= 0) break;
    const std::uint8_t first = SongByte(position);
    if (first < 0xF0) {
      const bool hasStatus = first >= 0x80;
      if (hasStatus) runningStatus = first;
      else length = ChannelMessageLength(runningStatus) - 1;
      const std::int32_t data = position + (hasStatus ? 1 : 0);
      const int channel = runningStatus & 0x0F;
      if ((runningStatus & 0xF0) == 0x90 && SongByte(data + 1) != 0) {
        ++survey.notes[channel];
        if (channel != kDrumChannel && survey.firstNoteChannel == kNone) survey.firstNoteChannel = channel;
      } else if ((runningStatus & 0xF0) == 0xC0) {
        if (survey.firstProgram[channel] == kNone) survey.firstProgram[channel] = SongByte(data);
        if (channel != kDrumChannel && survey.firstProgramChannel == kNone) survey.firstProgramChannel = channel;
      }
    } else if (type == kMetaTrackName && !survey.named) {
      survey.name = NameAt(position, length);
      survey.named = !survey.name.empty();
    }
    position += length;
  }
  return survey;
}

std::string ChannelName(int channel) { return "Channel " + std::to_string(channel + 1); }

std::string ChannelPartName(const TrackSurvey& survey, int channel) {
  const int program = survey.firstProgram[channel];
  return program != kNone ? GmInstrumentName(program) : ChannelName(channel);
}

// One part for each channel with notes of a one-track song. The track's
// name (often the song's title) names none of them: an instrument or the
// channel tells them apart.
void AddChannelParts(const TrackSurvey& survey) {
  for (int channel = 0; channel < kChannels; ++channel) {
    if (channel == kDrumChannel || survey.notes[channel] == 0) continue;
    state.parts.push_back({0, channel, survey.notes[channel], ChannelPartName(survey, channel),
                           "t1c" + std::to_string(channel + 1)});
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
  state.parts.push_back({slot, kWholeTrack, notes, name, "t" + std::to_string(slot + 1)});
}

}  // namespace

void FindSongParts() {
  state = {};
  const int tracks = TrackCount();
  if (tracks == 1) AddChannelParts(SurveyTrack(0));
  for (int slot = 0; tracks > 1 && slot < tracks && slot < kTrackSlots; ++slot) AddTrackPart(SurveyTrack(slot), slot);
  constexpr int kSecondTrack = 1;
  for (int i = 0; i < PartCount() && state.defaultPart == kNoPart; ++i)
    if (Part(i).track == kSecondTrack) state.defaultPart = i;
  if (state.defaultPart == kNoPart && PartCount() > 0) state.defaultPart = 0;
  state.chosenPart = state.defaultPart;
}

}  // namespace song
