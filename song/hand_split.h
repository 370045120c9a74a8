// Which hand plays each note of a part, and whether the part is played by
// two hands at all.
//
// At any moment the hands hold the notes above and below a split point that
// moves slowly with the music. Each measure has its own point, taken from
// the notes sounding in it and in the measures either side: the pitch that
// divides them into a lower and an upper group each lying closest around its
// own average (the smallest sum of squared distances from the groups'
// averages). Notes that start in the measure at or above the point are the
// right hand's, the others the left's. Where the two groups never sound
// together (one hand plays alone) the window says nothing about the hands:
// the measure keeps the point of the measure before it (the first window
// that has both hands, for the measures before that one).
//
// A part has two hands only when each holds at least a fifth of its notes,
// at least a fifth of its notes start while a note of the other hand
// sounds, and the hands' middle pitches lie more than an octave apart: a
// melody, a bass line, a line in octaves or in thirds stays one part.
#pragma once

#include <cstdint>
#include <vector>

namespace song {

enum class Hand : std::uint8_t { Left, Right };

struct HandNote {
  std::int32_t tick = 0;
  std::int32_t length = 0;  // ticks until its note-off
  int pitch = 0;            // 0..127
};

struct HandSplit {
  std::vector<Hand> hands;  // one for each note, in the order given
  bool twoHands = false;    // whether the part is played by two hands
};

// `notes` in the order they start; `measureStarts` the first tick of each
// measure, ascending (a note before the first belongs to the first). Only
// the measures notes start in and the measures either side of them need
// be given: a window is a listed measure with the listed ones either side.
HandSplit SplitHands(const std::vector<HandNote>& notes, const std::vector<std::int32_t>& measureStarts);

}  // namespace song
