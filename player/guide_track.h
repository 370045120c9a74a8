// The guide track: in training and game the song's second track is muted
// and followed chord by chord; the player's key takes a note of the chord,
// and an early press moves the song forward to the chord.
//
// The guide's notes that start on the same tick form one chord (a single
// note is a chord of one). Its notes may be taken in any order, each is
// judged against the chord's tick, and the guide moves on to the next chord
// once every note of this one is taken.
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
// Moves the guide to its next chord, first moving the song forward when
// it lags behind the guide tick.
void AdvanceGuide();
// Reads one guide event; 1 for a note-on with velocity or the end.
int ScanGuideEvent(std::int32_t& position, std::int32_t& tick);
// Whether the song's guide track has a note to play at all (a song of one
// track has none). Reads the track without moving anything.
bool GuideHasNote();
// The note a press sounds: the chord's waiting note equal to the pressed
// note, else the guide note (the chord's first waiting note), or the
// pressed note once the guide has ended. Moves the guide on when that was
// the chord's last waiting note.
int TakeGuideNote(int pressedNote);
// 1 while a performance (training or game) is playing.
int IsGuidePerformed();

// The first waiting note of the chord (999 once the guide has ended); its
// velocity is GuideVelocity().
int GuideNote();
void SetGuideNote(int note);  // the main scene marks the end as noticed (998)
std::int32_t GuideTick();
std::uint8_t GuideVelocity();
bool GuideEnded();
// The note whose key is lit as the one to play (a byte, as the display
// keeps it).
int LastShownGuideNote();
void SetLastShownGuideNote(int note);

// The chord the guide stands on: its distinct notes in the track's order,
// and whether each still waits to be taken. Empty once the guide has ended.
int GuideChordSize();
int GuideChordNote(int i);
bool GuideChordNoteWaits(int i);

// Whether a note event of track `trackIndex` (zero-based) on `channel`
// (0..15) belongs to the part being guided.
bool IsGuidePartEvent(int trackIndex, int channel);

void ResetGuideTrack();

}  // namespace player
