// The guide: in training and game the chosen part of the song (its second
// track unless the player chose another, see song/song_parts.h) is muted
// and followed chord by chord; the player's key takes a note of the chord,
// and an early press moves the song forward to the chord.
//
// The guide's notes that start within 30 ms of the first of them form one
// chord (a single note is a chord of one): a strum or a rolled chord is
// played as the chord it sounds. Its notes may be taken in any order, it
// is judged against its first note's tick, and the guide moves on to the
// next chord once every note of this one is taken.
#pragma once

#include <cstdint>
#include <string>

#include "player/happenings.h"

namespace player {

// The guide note when the guide has none (its part is over, or none).
inline constexpr int kNoGuideNote = -1;
inline constexpr std::uint32_t kTimingWindowMs = 70;

// Prepares the guide at each start; mutes it in a performance.
void BeginGuideTrack();
// Moves the guide to its next chord, first moving the song forward when
// it lags behind the guide tick.
void AdvanceGuide();
// After a jump back: the guide's next note is the first at or after `tick`.
void RestartGuideAt(std::int32_t tick);
// Whether the chosen part has a note to play at all (a song without parts
// has none). Reads the part without moving anything.
bool GuideHasNote();
// Whether a note event of track `trackIndex` (zero-based) on `channel`
// (0..15) belongs to the part being guided: the chosen part's track, its
// channel when the part is one channel of a one-track song, and its hand
// when it is one hand (the note-on at `tick`, or the note-off there when
// `noteOff`).
bool IsGuidePartNote(int trackIndex, int channel, int note, std::int32_t tick, bool noteOff);
// The chosen part's ID ("t2" for a whole track, "t1c4" for channel 4 of a
// one-track song), or "" when the song has no part.
std::string ChosenPartId();
// The note a press sounds: the chord's waiting note equal to the pressed
// note, else the guide note (the chord's first waiting note), or the
// pressed note once the guide has ended. Moves the guide on when that was
// the chord's last waiting note.
struct [[nodiscard]] TakenNote {
  int note;
  Happenings happenings;  // what moving the guide on made the song do
};
TakenNote TakeGuideNote(int pressedNote);
// Whether a performance (training or game) is playing.
bool IsGuidePerformed();
// Whether a performance moving the song to `position` would pass the song's
// end with the guide's chord still before it: the song then stops at the
// chord first.
bool GuideChordBeforeSongEnd(std::int32_t position);

// The first waiting note of the chord (999 once the guide has ended); its
// velocity is GuideVelocity().
int GuideNote();
// The note whose key is lit as the next to play: the guide note, except
// that once a loop's passage has no note left before its end it is the
// passage's first (kNoGuideNote when the passage has none).
int GuideNoteToShow();
void SetGuideNote(int note);
// Whether the guide has read past its part's last note (or has no part).
bool GuideOver();
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
// Whether a note of the chord has been taken and others still wait.
bool GuideChordBegun();

}  // namespace player
