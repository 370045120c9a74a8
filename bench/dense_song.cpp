#include "dense_song.h"

#include "smf_builder.h"

namespace bench {

namespace {
constexpr int kTracks = 32;
}  // namespace

DenseSong MakeDenseSong(std::size_t fileBytes) {
  DenseSong song;
  const std::size_t headerBytes = 14 + kTracks * 8;
  // Per track: the opening events, then 3 bytes an event (delta, note,
  // velocity under running status), then 4 bytes of end-of-track.
  const std::size_t perTrack = (fileBytes - headerBytes) / kTracks;
  const std::size_t opening = 4 + 7 + 8;  // note-on with status, tempo, signature (track 0 only)
  const std::size_t events = (perTrack - opening - 4) / 3;

  std::vector<test::Track> tracks(kTracks);
  for (int t = 0; t < kTracks; ++t) {
    test::Track& track = tracks[static_cast<std::size_t>(t)];
    if (t == 0) track.Tempo(0, 500000).TimeSignature(0, 4, 2);
    const auto note = static_cast<std::uint8_t>(36 + t);
    track.Event(0, {static_cast<std::uint8_t>(0x90 | (t % 16)), note, 100});
    for (std::size_t e = 0; e < events; ++e) {
      const bool off = e % 2 == 0;  // off, then on again
      track.Event(off ? 7 : 8, {note, static_cast<std::uint8_t>(off ? 0 : 100)});
    }
    track.End();
    song.channelMessages += static_cast<std::int64_t>(events) + 1;
  }
  song.file = test::SmfFile(tracks);
  return song;
}

}  // namespace bench
