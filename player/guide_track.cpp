#include "player/guide_track.h"

#include "player/event_dispatch.h"
#include "player/playback_clock.h"
#include "player/screen_hooks.h"
#include "song/song_store.h"
#include "song/track_reader.h"

namespace player {

// The guide's own read position and running status (separate from the
// dispatcher's walk of the same track), its note and tick.
static std::int32_t guidePosition = 0;
static std::uint8_t guideRunningStatus = 0;
static std::int32_t guideTick = 0;
static std::int32_t previousGuideTick = 0;
static int guideNote = kGuideEnded;
static std::uint8_t guideVelocity = 0;
static int lastShownGuideNote = 0;

void ResetGuideTrack() {
  guidePosition = 0;
  guideRunningStatus = 0;
  guideTick = previousGuideTick = 0;
  guideNote = kGuideEnded;
  guideVelocity = 0;
  lastShownGuideNote = 0;
}

int GuideNote() { return guideNote; }
void SetGuideNote(int note) { guideNote = note; }
std::int32_t GuideTick() { return guideTick; }
std::uint8_t GuideVelocity() { return guideVelocity; }
int LastShownGuideNote() { return lastShownGuideNote; }
void SetLastShownGuideNote(int note) { lastShownGuideNote = note & 0xFF; }

// A song of one track has no guide: it counts as ended from the start.
bool GuideEnded() { return song::TrackCount() <= kGuideTrackIndex || TrackEnded(kGuideTrackIndex); }

int IsGuidePerformed() { return PerformanceModeFlag() == 1 && PlayState() == kPlaying ? 1 : 0; }

void BeginGuideTrack() {
  GuideRestarts();
  guideRunningStatus = 0;
  if (song::TrackCount() <= kGuideTrackIndex) {
    guideNote = kGuideEnded;
    return;
  }
  guidePosition = TrackReadPosition(kGuideTrackIndex);
  guideTick = TrackNextEventTime(kGuideTrackIndex);
  if (PerformanceModeFlag() == 1) {
    SetTrackEnabled(kGuideTrackIndex, false);
    AdvanceGuide();
  } else {
    SetTrackEnabled(kGuideTrackIndex, true);
  }
}

int ScanGuideEvent(std::int32_t& position, std::int32_t& tick) {
  std::int32_t length = song::ReadEvent(position, tick);
  if (song::LastMetaType() == song::kMetaEndOfTrack) {
    guideNote = kGuideEnded;
    SetTrackEnded(kGuideTrackIndex);
    return 1;
  }
  int result = 0;
  const std::uint8_t first = song::SongByte(position);
  if (first < 0xF0) {
    // Channel events under running status carry no status byte: the guide
    // keeps its own, since the reader's may come from another track.
    const bool hasStatus = first >= 0x80;
    if (hasStatus) guideRunningStatus = first;
    else length = song::ChannelMessageLength(guideRunningStatus) - 1;
    const std::int32_t data = position + (hasStatus ? 1 : 0);
    const std::uint8_t velocity = song::SongByte(data + 1);
    if ((guideRunningStatus & 0xF0) == 0x90 && velocity != 0) {
      guideNote = song::SongByte(data);
      guideVelocity = velocity;
      result = 1;
    }
  }
  position += length;
  return result;
}

void AdvanceGuide() {
  if (GuideEnded()) return;
  if (SongPosition() < guideTick) {
    SetSongPosition(guideTick);
    if (PlayState() == kPlaying) DispatchDueEvents();
    ReanchorAt(guideTick);
  }
  previousGuideTick = guideTick;
  while (ScanGuideEvent(guidePosition, guideTick) == 0) {
  }
}

int TakeGuideNote(int pressedNote) {
  const int taken = guideNote;
  lastShownGuideNote = taken & 0xFF;
  AdvanceGuide();
  return taken == kGuideEnded ? pressedNote : taken;
}

}  // namespace player
