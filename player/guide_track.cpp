#include "player/guide_track.h"

#include "player/event_dispatch.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"
#include "player/screen_hooks.h"
#include "song/song_scan.h"
#include "song/song_store.h"
#include "song/track_reader.h"

namespace player {

// The guide's own read position and running status (separate from the
// dispatcher's walk of the same track), its note and tick.
namespace {
struct State {
  std::int32_t guidePosition = 0;
  std::uint8_t guideRunningStatus = 0;
  std::int32_t guideTick = 0;
  std::int32_t previousGuideTick = 0;
  int guideNote = kGuideEnded;
  std::uint8_t guideVelocity = 0;
  int lastShownGuideNote = 0;
};
State state;
}  // namespace

void ResetGuideTrack() {
  state = {};
}

int GuideNote() { return state.guideNote; }
void SetGuideNote(int note) { state.guideNote = note; }
std::int32_t GuideTick() { return state.guideTick; }
std::uint8_t GuideVelocity() { return state.guideVelocity; }
int LastShownGuideNote() { return state.lastShownGuideNote; }
void SetLastShownGuideNote(int note) { state.lastShownGuideNote = note & 0xFF; }

// A song of one track has no guide: it counts as ended from the start.
bool GuideEnded() { return song::TrackCount() <= kGuideTrackIndex || TrackEnded(kGuideTrackIndex); }

int IsGuidePerformed() { return PerformanceModeFlag() == 1 && PlayState() == kPlaying ? 1 : 0; }

void BeginGuideTrack() {
  GuideRestarts();
  state.guideRunningStatus = 0;
  if (song::TrackCount() <= kGuideTrackIndex) {
    state.guideNote = kGuideEnded;
    return;
  }
  state.guidePosition = TrackReadPosition(kGuideTrackIndex);
  state.guideTick = TrackNextEventTime(kGuideTrackIndex);
  if (PerformanceModeFlag() == 1) {
    SetTrackEnabled(kGuideTrackIndex, false);
    AdvanceGuide();
  } else {
    SetTrackEnabled(kGuideTrackIndex, true);
  }
}

namespace {

enum class GuideEvent { NoteOn, End, Other };

// Reads one event of the guide track at `position` (moved past it unless it
// is the end), with the guide's own running status: channel events under
// running status carry no status byte, and the reader's may come from
// another track.
GuideEvent ReadGuideEvent(std::int32_t& position, std::int32_t& tick, std::uint8_t& runningStatus,
                          std::uint8_t& note, std::uint8_t& velocity) {
  std::int32_t length = song::ReadEvent(position, tick);
  if (song::LastMetaType() == song::kMetaEndOfTrack) return GuideEvent::End;
  GuideEvent result = GuideEvent::Other;
  const std::uint8_t first = song::SongByte(position);
  if (first < 0xF0) {
    const bool hasStatus = first >= 0x80;
    if (hasStatus) runningStatus = first;
    else length = song::ChannelMessageLength(runningStatus) - 1;
    const std::int32_t data = position + (hasStatus ? 1 : 0);
    if ((runningStatus & 0xF0) == 0x90 && song::SongByte(data + 1) != 0) {
      note = song::SongByte(data);
      velocity = song::SongByte(data + 1);
      result = GuideEvent::NoteOn;
    }
  }
  position += length;
  return result;
}

}  // namespace

int ScanGuideEvent(std::int32_t& position, std::int32_t& tick) {
  std::uint8_t note = 0, velocity = 0;
  switch (ReadGuideEvent(position, tick, state.guideRunningStatus, note, velocity)) {
    case GuideEvent::End:
      state.guideNote = kGuideEnded;
      SetTrackEnded(kGuideTrackIndex);
      return 1;
    case GuideEvent::NoteOn:
      state.guideNote = note;
      state.guideVelocity = velocity;
      return 1;
    case GuideEvent::Other: break;
  }
  return 0;
}

bool GuideHasNote() {
  if (song::TrackCount() <= kGuideTrackIndex) return false;
  std::int32_t position = song::TrackEntry(song::kCurrentBank, kGuideTrackIndex);
  std::int32_t tick = 0;
  std::uint8_t runningStatus = 0, note = 0, velocity = 0;
  for (;;) {
    switch (ReadGuideEvent(position, tick, runningStatus, note, velocity)) {
      case GuideEvent::NoteOn: return true;
      case GuideEvent::End: return false;
      case GuideEvent::Other: break;
    }
  }
}

int GuideNoteToShow() {
  if (state.guideNote >= kGuideEndNoticed || !LoopEndReached(state.guideTick)) return state.guideNote;
  const std::int32_t start = song::Measure(LoopFirstMeasure()).startTick;
  std::int32_t position = song::TrackEntry(song::kCurrentBank, kGuideTrackIndex);
  std::int32_t tick = 0;
  std::uint8_t runningStatus = 0, note = 0, velocity = 0;
  for (;;) {
    switch (ReadGuideEvent(position, tick, runningStatus, note, velocity)) {
      case GuideEvent::NoteOn:
        if (tick >= start) return tick < LoopEndTick() ? note : kGuideEnded;
        break;
      case GuideEvent::End: return kGuideEnded;
      case GuideEvent::Other: break;
    }
  }
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
  state.previousGuideTick = state.guideTick;
  while (ScanGuideEvent(state.guidePosition, state.guideTick) == 0) {
  }
}

void RestartGuideAt(std::int32_t tick) {
  if (song::TrackCount() <= kGuideTrackIndex) return;
  state.guidePosition = song::TrackEntry(song::kCurrentBank, kGuideTrackIndex);
  state.guideRunningStatus = 0;
  state.guideTick = 0;
  do {
    while (ScanGuideEvent(state.guidePosition, state.guideTick) == 0) {
    }
  } while (state.guideNote != kGuideEnded && state.guideTick < tick);
  state.previousGuideTick = state.guideTick;
}

int TakeGuideNote(int pressedNote) {
  const int taken = state.guideNote;
  state.lastShownGuideNote = taken & 0xFF;
  AdvanceGuide();
  return taken == kGuideEnded ? pressedNote : taken;
}

}  // namespace player
