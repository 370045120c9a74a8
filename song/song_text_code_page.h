// Which code page a song's own text is in. A song whose title and lyrics
// read as Japanese Shift-JIS is shown in Shift-JIS on any system; any other
// song's text is shown in the system's code page.
#pragma once

#include <string_view>

namespace song {

// How a piece of song text reads as Shift-JIS (CP932).
struct ShiftJisReading {
  bool valid = true;      // every byte belongs to a Shift-JIS character
  bool japanese = false;  // it holds a kana or a Japanese punctuation mark
};

// Reads one piece of text as Shift-JIS. With `mayBeCut` a lead byte at the
// very end is allowed: a length limit cut its character in two.
ShiftJisReading ReadAsShiftJis(std::string_view text, bool mayBeCut);

// Looks at the current song's title and lyrics and sets the code page its
// text is shown in. Called at the end of every song scan.
void DetectSongTextCodePage();

}  // namespace song
