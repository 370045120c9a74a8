// Which part a song starts from: the one a learner would call the tune.
//
// Each part has a role. Its own name decides first: a name holding a word
// of a melody (melody, lead, vocal, solo, tune, right hand...) makes it a
// melody, a word of drums, of a bass or of an accompaniment (chord,
// backing, pad, rhythm, left hand...) gives it that role. A part without
// such a name takes the role of its instrument (the General MIDI basses,
// timpani and the percussive and sound-effect programs, ensembles, choirs,
// pads and synth effects), then of its notes: mostly on the drum channel
// makes drums, a middle pitch below C3 a bass. Every other part is plain.
//
// The default is then chosen among the parts of the best role present
// (melody, plain, accompaniment, bass, drums, in that order), and of these
// among the parts mostly of one note at a time (all of them when none is):
// 1. the second track, when it is among them and they are melodies or
//    plain parts (every song made for the game has its tune there);
// 2. else those with at least a quarter of the notes of the busiest; of
//    these the highest (by middle pitch) and those at most a fourth below
//    it; of these the one with the most notes, the first in the song on a
//    tie.
#pragma once

#include <vector>

#include "song/song_parts.h"

namespace song {

enum class PartRole { Melody, Plain, Accompaniment, Bass, Drums };

PartRole RoleOf(const SongPart& part);
// True when fewer than a third of the part's notes (off the drum channel)
// start together with another.
bool MostlySingleNotes(const SongPart& part);
// The index of the default part among `parts` (never a hand part), kNoPart
// when there are none.
int ChooseDefaultPart(const std::vector<SongPart>& parts);

}  // namespace song
