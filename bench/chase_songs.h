// Songs whose loop has the most to chase at each jump back: the loop is
// their second measure, and everything before it is what the chase walks.
#pragma once

#include <cstdint>
#include <vector>

namespace bench {

// 256 port prefixes, each followed by every controller below 120 on every
// channel (about 1.5 MB), then a note in the second measure.
std::vector<std::uint8_t> MakeControllerFloodSong();

// A lyric track of about `lyricBytes` bytes before the second measure, a
// syllable per event and eight syllables a line.
std::vector<std::uint8_t> MakeLyricFloodSong(std::size_t lyricBytes);

}  // namespace bench
