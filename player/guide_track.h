// The guide track: in training and game the song's second track is muted
// and followed note by note; the player's key takes its next note, and an
// early press moves the song forward to that note.
#pragma once

#include <cstdint>

namespace player {

inline constexpr int kGuideTrackNumber = 2;  // one-based: track index 1
inline constexpr int kGuideTrackIndex = kGuideTrackNumber - 1;
inline constexpr int kGuideEnded = 999;
inline constexpr int kGuideEndNoticed = 998;
inline constexpr std::uint32_t kTimingWindowMs = 70;

// Prepares the guide at each start; mutes it in a performance.
void BeginGuideTrack();
// Moves the guide to its next note-on, first moving the song forward when
// it lags behind the guide tick.
void AdvanceGuide();
// After a jump back: the guide's next note is the first at or after `tick`.
void RestartGuideAt(std::int32_t tick);
// Reads one guide event; 1 for a note-on with velocity or the end.
int ScanGuideEvent(std::int32_t& position, std::int32_t& tick);
// Whether the song's guide track has a note to play at all (a song of one
// track has none). Reads the track without moving anything.
bool GuideHasNote();
// The note a press sounds: the guide note, or the pressed note once the
// guide has ended. Moves the guide on.
int TakeGuideNote(int pressedNote);
// 1 while a performance (training or game) is playing.
int IsGuidePerformed();

int GuideNote();
// The note whose key is lit as the next to play: the guide note, except
// that once a loop's passage has no note left before its end it is the
// passage's first (kGuideEnded when the passage has none).
int GuideNoteToShow();
void SetGuideNote(int note);  // the main scene marks the end as noticed (998)
std::int32_t GuideTick();
std::uint8_t GuideVelocity();
bool GuideEnded();
// The note whose key is lit as the one to play (a byte, as the display
// keeps it).
int LastShownGuideNote();
void SetLastShownGuideNote(int note);

void ResetGuideTrack();

}  // namespace player
