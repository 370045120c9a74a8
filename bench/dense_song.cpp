#include "dense_song.h"

namespace bench {

namespace {

constexpr int kTracks = 32;
constexpr std::uint16_t kDivision = 480;

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutVarLen(std::vector<std::uint8_t>& out, std::uint32_t v) {
  std::uint8_t digits[5];
  int n = 0;
  do {
    digits[n++] = static_cast<std::uint8_t>(v & 0x7F);
    v >>= 7;
  } while (v != 0);
  while (n > 1) out.push_back(static_cast<std::uint8_t>(digits[--n] | 0x80));
  out.push_back(digits[0]);
}

}  // namespace

DenseSong MakeDenseSong(std::size_t fileBytes) {
  DenseSong song;
  const std::size_t headerBytes = 14 + kTracks * 8;
  // Per track: the opening events, then 3 bytes an event (delta, note,
  // velocity under running status), then 4 bytes of end-of-track.
  const std::size_t perTrack = (fileBytes - headerBytes) / kTracks;
  const std::size_t opening = 4 + 7 + 8;  // note-on with status, tempo, signature (track 0 only)
  const std::size_t events = (perTrack - opening - 4) / 3;
  std::int32_t endTick = 0;
  for (std::size_t e = 0; e < events; ++e) endTick += e % 2 == 0 ? 7 : 8;
  song.endTick = endTick;

  std::vector<std::uint8_t>& out = song.file;
  out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, kTracks, kDivision >> 8, kDivision & 0xFF};
  for (int t = 0; t < kTracks; ++t) {
    std::vector<std::uint8_t> data;
    if (t == 0) {
      data.insert(data.end(), {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});        // 120 bpm
      data.insert(data.end(), {0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08});  // 4/4
    }
    const auto channel = static_cast<std::uint8_t>(t % 16);
    const auto note = static_cast<std::uint8_t>(36 + t);
    data.insert(data.end(), {0x00, static_cast<std::uint8_t>(0x90 | channel), note, 100});
    ++song.channelMessages;
    for (std::size_t e = 0; e < events; ++e) {
      data.push_back(e % 2 == 0 ? 7 : 8);
      data.push_back(note);
      data.push_back(e % 2 == 0 ? 0 : 100);  // off, then on again
    }
    song.channelMessages += static_cast<std::int64_t>(events);
    PutVarLen(data, 0);
    data.insert(data.end(), {0xFF, 0x2F, 0x00});
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    Put32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
  }
  return song;
}

}  // namespace bench
