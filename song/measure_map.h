// The measure map: the song's measures as the measure counter numbers them,
// the one numbering the player sees (the counter, LOOP's marks, the
// statistics' measures, the trace's loop).
//
// The counter counts quarter notes and groups them by the numerator of the
// time signature in force, whatever its note value: a 6/8 measure is six
// quarter notes, a 2/2 measure two. A signature takes effect at its own
// tick, inside the measure it falls in: that measure goes on, its beats
// counted again from 1, and the next measure begins a whole new measure's
// quarters later.
//
// The tempo and the time signature come from the conductor track: track 0,
// or, when track 0 has neither a tempo nor a time signature event, the
// first track that has one.
#pragma once

#include <cstdint>

namespace song {

inline constexpr int kDefaultTempo = 120;  // whole quarter notes per minute
// A tempo event gives microseconds per quarter note; this over it gives
// quarter notes per minute, and the other way round.
inline constexpr std::int32_t kMicrosecondsPerMinute = 60000000;

// Where a measure begins, with the time signature and tempo it begins with.
struct MeasureStart {
  std::int32_t tick = 0;
  int numerator = 4;    // quarter notes in the measure as counted
  int denominator = 4;  // the note value itself, as the signature reads
  int tempo = kDefaultTempo;
};

// Reads the conductor track of the current song: its signatures and tempos
// up to its end-of-track. `endTick` is where the song ends.
void BuildMeasureMap(std::int32_t endTick);

// The index of the track whose tempo and time signature events steer
// playback.
int ConductorTrack();

// The measure (from 0) the counter shows at `tick`, and the beat (from 1).
int MeasureOfTick(std::int32_t tick);
int BeatOfTick(std::int32_t tick);
// The first tick of a measure (from 0), with its signature and tempo: the
// tempo of the first tempo event at that tick, else of the last before it.
MeasureStart MeasureStartOf(int measure);
std::int32_t MeasureFirstTick(int measure);
// The start of the beat the counter shows at `tick` (a quarter note from
// the signature in force, or the signature's own tick); INT32_MIN before
// the song's first tick.
std::int32_t BeatStartOfTick(std::int32_t tick);

// The measures a passage can be made of: those that begin at least a beat
// (a quarter note) before the song's end; at least 1.
int SongMeasureCount();

}  // namespace song
