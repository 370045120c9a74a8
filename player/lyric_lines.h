// Lyrics written a syllable (or a word) per event, with the ends of lines
// marked in the text, are gathered into whole lines, so that the lyric bar
// shows a line at a time and lights each syllable as the song reaches it.
//
// Two ways of marking lines are read:
// - lyric events whose text holds a carriage return or a line feed where a
//   line ends (the mark may stand alone in an event of its own);
// - karaoke text events (text events of a song that also has a text event
//   beginning with '@', the karaoke header lines, which are not lyrics),
//   where a leading '/' starts a new line and a leading '\' a new verse.
// Lyrics are gathered from one track: the first whose lyric events carry a
// line mark, else the first whose text events begin a line with '/' or
// '\'. A song is read syllable by syllable only when at least one of its
// lines is made of two or more events; otherwise (every lyric event a whole
// line) the lyric bar shows each event's text as it arrives.
#pragma once

#include <cstdint>
#include <string>

namespace player {

// Reads the current song's lyrics when the song changed since they were
// last read, and goes back to the first line; called at each start.
void GatherLyricLines();
// Goes back to the first line (a loop's jump back).
void RewindLyricLines();
// Whether the current song's lyrics are shown line by line and lit
// syllable by syllable.
bool LyricsBySyllable();
// Whether a meta event of `type` in track `trackIndex` is one of the
// gathered events.
bool IsGatheredLyricEvent(int trackIndex, int type);

// The syllable of the next gathered event, in the line that holds it.
struct ReachedSyllable {
  const std::string* line = nullptr;  // null when the event holds only a mark
  int start = 0;                      // byte offset of the syllable in the line
  int length = 0;
  bool newLine = false;  // the line was not shown yet
};
// Takes the next gathered event, in the order the dispatcher reaches them.
ReachedSyllable ReachNextSyllable();

}  // namespace player
