// What the playback engine did that the screen shows. The engine sits below
// the screen: it reports these in order, and each of its entry points that
// can cause any returns them for the main screen to draw.
#pragma once

#include <vector>

namespace player {

struct Happening {
  enum class Kind {
    RunStarting,      // the main command becomes "running"; no verdict shows
    LyricBarRestarts, // the lyric bar forgets its word position
    LyricLine,        // a lyric event filled the lyric buffer
    LyricSyllable,    // a syllable of the buffer's line is reached: bytes a to a + b
    RunStopped,       // the main command becomes "stopped"
    ModeButtonsUp,    // after a stop the mode buttons are drawn raised
    GuideRestarts,    // the judging's counts go back to 0
    DemoNote,         // the demonstration's guide note a started (b = 1) or ended
    JumpedBack,       // a loop went back: lyric bar and keys start over there
    Position,         // the counter shows measure a, beat b (1-based)
    Tempo,            // the tempo display shows a beats per minute
    TimeSignature,    // the time signature display shows the signature in force
  };
  Kind kind;
  int a = 0;
  int b = 0;
  bool operator==(const Happening&) const = default;
};

// The happenings of one call, in the order they happened.
struct [[nodiscard]] Happenings {
  std::vector<Happening> list;
};

// The engine's own: notes a happening, and hands over (and forgets) all
// noted since the last take.
void Report(Happening::Kind kind, int a = 0, int b = 0);
Happenings TakeHappenings();

}  // namespace player
