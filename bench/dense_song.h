// The benchmarks' song: 32 tracks (track t on channel t mod 16), each
// turning a note on or off every 7 or 8 ticks (about 65 messages per 16 ms
// frame at 120 bpm), all ending together, filling a given number of bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace bench {

struct DenseSong {
  std::vector<std::uint8_t> file;  // a Standard MIDI File
  std::int64_t channelMessages = 0;
};

DenseSong MakeDenseSong(std::size_t fileBytes);

}  // namespace bench
