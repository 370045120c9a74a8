// The parts of the current song a player can practise, and the one chosen.
// A part is a track with note-ons on a channel other than the drum channel;
// in a song of one track, each such channel is a part of its own. The
// default part is the second track when it is a part (every song made for
// the game has its tune there), otherwise the first part.
#pragma once

#include <string>
#include <string_view>

namespace song {

inline constexpr int kDrumChannel = 9;  // channel 10, counted from 1
inline constexpr int kWholeTrack = -1;
inline constexpr int kNoPart = -1;
inline constexpr int kPartNameMaxBytes = 64;

struct SongPart {
  int track = 0;             // zero-based
  int channel = kWholeTrack;  // 0..15 for one channel of a one-track song
  int notes = 0;             // note-ons with velocity above 0 the part holds
  std::string name;          // song-text bytes: the track's name, an instrument or "Channel N"
  std::string id;            // "t2" (a whole track), "t1c4" (a channel), counted from 1
};

// Finds the parts of the current song and chooses the default. Called by
// every song scan and after a failed load (which leaves the bank empty).
void FindSongParts();

int PartCount();
const SongPart& Part(int index);
int DefaultPart();  // kNoPart when the song has none
int ChosenPart();   // kNoPart when the song has none
// Chooses part `index` (0 to PartCount() - 1); other values are ignored.
void ChoosePart(int index);
// The index of the part with this ID, or kNoPart.
int FindPart(std::string_view id);

void ResetSongParts();

}  // namespace song
