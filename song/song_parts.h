// The parts of the current song a player can practise, and the one chosen.
// A part is a track with note-ons on a channel other than the drum channel;
// in a song of one track, each such channel is a part of its own. The
// default part is the one a learner would call the tune (see
// song/default_part.h); the part whose ranking keeps the song's own
// ranking file is the second track when it is a part, otherwise the first
// part, whatever the default.
//
// A part played by two hands (see song/hand_split.h) also offers each hand
// as a part of its own, right after it: "t2r" and "t2l" ("t1c1r", "t1c1l"
// for a channel). A hand part is never the default.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace song {

inline constexpr int kDrumChannel = 9;  // channel 10, counted from 1
inline constexpr int kWholeTrack = -1;
inline constexpr int kNoPart = -1;
inline constexpr int kNoProgram = -1;
inline constexpr int kPartNameMaxBytes = 64;

// Which of the part's notes the player plays: all, or one hand's.
enum class PartHand : std::uint8_t { Both, Right, Left };

struct SongPart {
  int track = 0;             // zero-based
  int channel = kWholeTrack;  // 0..15 for one channel of a one-track song
  int notes = 0;             // note-ons with velocity above 0 the part holds
  std::string name;          // song-text bytes: the track's name, an instrument or "Channel N"
  std::string id;            // "t2" (a whole track), "t1c4" (a channel), counted from 1
  // Where the player's keys sound while this part is chosen: the channel
  // of its first note off the drum channel, the port its track names
  // there, and the first program set on that channel (the part's own
  // track first, else any track), kNoProgram when none is.
  int soundChannel = 0;
  int port = 0;
  int program = kNoProgram;
  // What the default choice weighs: whether `name` is the track's own
  // name, the notes on the drum channel, the notes off it that start
  // together with another (a chord), and the middle of the pitches off the
  // drum channel (the lower middle one for an even count; 0 without any).
  bool named = false;
  int drumNotes = 0;
  int chordNotes = 0;
  int middlePitch = 0;
  PartHand hand = PartHand::Both;
};

// Finds the parts of the current song and chooses the default. Called by
// every song scan and after a failed load (which leaves the store empty).
void FindSongParts();

int PartCount();
const SongPart& Part(int index);
int DefaultPart();  // kNoPart when the song has none
int ChosenPart();   // kNoPart when the song has none
// The part whose ranking is the song's own ranking file (the others add
// their ID to its name): the second track when it is a part, else the
// first part; kNoPart when the song has none. Rankings kept before the
// default followed the tune keep their meaning this way.
int SongRankingPart();
// Chooses part `index` (0 to PartCount() - 1); other values are ignored.
void ChoosePart(int index);
// The index of the part with this ID, or kNoPart.
int FindPart(std::string_view id);

// Whether a note of the part's track and channel is one of `part`'s: every
// note is for a part of both hands; for a hand part, the note-on at `tick`
// (`noteOff` false) or the note-off there (true) must be of its hand. A
// note-off both hands end at one tick is counted to neither hand, so that
// it is never held back.
bool PartHoldsNote(const SongPart& part, std::int32_t tick, int channel, int pitch, bool noteOff);

// The part's name for the player, UTF-8: the song's own name bytes, with
// the hand for a hand part ("Piano, right hand") in the player's language.
std::string PartDisplayName(const SongPart& part);

}  // namespace song
