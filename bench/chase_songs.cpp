#include "chase_songs.h"

#include "smf_builder.h"

namespace bench {

namespace {

constexpr std::uint32_t kMeasure = 1920;  // 4/4 at 480 ticks a quarter
constexpr int kPortPrefixes = 256;
constexpr int kChaseableControllers = 120;  // those from 120 on are channel modes

// Four measures of 4/4 at 120 beats per minute.
test::Track Conductor() { return test::Track().TimeSignature(0, 4, 2).Tempo(0, 500000).End(4 * kMeasure); }

// A note at the start of the second measure: the loop's first.
test::Track& EndWithPassage(test::Track& track) {
  return track.Event(kMeasure, {0x90, 60, 100}).Event(480, {0x80, 60, 0}).End(0);
}

}  // namespace

std::vector<std::uint8_t> MakeControllerFloodSong() {
  test::Track flood;
  for (int port = 0; port < kPortPrefixes; ++port) {
    flood.Meta(0, 0x21, {static_cast<std::uint8_t>(port)});
    for (int channel = 0; channel < 16; ++channel) {
      flood.Event(0, {static_cast<std::uint8_t>(0xB0 | channel), 0, 0});
      for (int controller = 1; controller < kChaseableControllers; ++controller)
        flood.Event(0, {static_cast<std::uint8_t>(controller), static_cast<std::uint8_t>((port + controller) & 0x7F)});
    }
  }
  flood.Meta(0, 0x21, {0});
  return test::SmfFile({Conductor(), EndWithPassage(flood)});
}

std::vector<std::uint8_t> MakeLyricFloodSong(std::size_t lyricBytes) {
  test::Track lyrics;
  for (int syllable = 0; lyrics.data.size() < lyricBytes; ++syllable)
    lyrics.Text(0, 0x05, syllable % 8 == 7 ? "la\r" : "la");
  return test::SmfFile({Conductor(), EndWithPassage(lyrics)});
}

}  // namespace bench
