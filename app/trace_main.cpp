// tonquill-trace: plays a song in DEMO mode on simulated time and prints every
// MIDI message that reaches a port, one line each: the frame's time in ms,
// the port, and the bytes in hex. Built with the deterministic backend.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/song_file.h"
#include "game/main_scene_playback.h"
#include "game/play_mode.h"
#include "midi/midi_out.h"
#include "midi/timing.h"
#include "platform/testing/testing.h"
#include "player/playback_clock.h"
#include "song/song_scan.h"
#include "song/song_store.h"

namespace {

namespace pt = platform::testing;

constexpr std::uint32_t kLongestRunMs = 60 * 60 * 1000;  // one simulated hour

const char kUsage[] =
    "usage: tonquill-trace [--frame-ms N] [--ports N] [--positions] SONG.mid\n"
    "  --frame-ms N   simulated milliseconds per frame (default 16)\n"
    "  --ports N      recording MIDI ports to open (default 1)\n"
    "  --positions    also print '# position TIME TICK' for every frame\n";

struct Options {
  std::uint32_t frameMs = 16;
  int ports = 1;
  bool positions = false;
  const char* song = nullptr;
};

bool ParseNumber(const char* text, long low, long high, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && value >= low && value <= high;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    long value = 0;
    if (std::strcmp(argv[i], "--frame-ms") == 0 && i + 1 < argc && ParseNumber(argv[i + 1], 1, 10000, value)) {
      options.frameMs = static_cast<std::uint32_t>(value);
      ++i;
    } else if (std::strcmp(argv[i], "--ports") == 0 && i + 1 < argc && ParseNumber(argv[i + 1], 0, 8, value)) {
      options.ports = static_cast<int>(value);
      ++i;
    } else if (std::strcmp(argv[i], "--positions") == 0) {
      options.positions = true;
    } else if (argv[i][0] != '-' && options.song == nullptr) {
      options.song = argv[i];
    } else {
      return false;
    }
  }
  return options.song != nullptr;
}

void PrintNewMessages(std::size_t& printed) {
  const auto& log = pt::MidiLog();
  for (; printed < log.size(); ++printed) {
    const pt::MidiLogEntry& entry = log[printed];
    if (entry.kind != pt::MidiLogEntry::Short && entry.kind != pt::MidiLogEntry::Long) continue;
    std::printf("%u %d", entry.time, entry.device);
    for (std::uint8_t b : entry.bytes) std::printf(" %02x", b);
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  pt::Reset();
  pt::SetMidiDevices({.count = options.ports, .probeSucceeds = false});
  midi::InitTimingServices();
  midi::OpenMidiOutPorts();
  song::PrepareSongBanks("");

  // Load as the FILE button does: clear, read, install, scan, rewind.
  if (!files::SetSongPath(options.song)) {
    std::fprintf(stderr, "tonquill-trace: the path is too long: %s\n", options.song);
    return 1;
  }
  switch (files::LoadSongFile()) {
    case files::LoadResult::Installed: break;
    case files::LoadResult::NotOpened:
      std::fprintf(stderr, "tonquill-trace: cannot open %s\n", options.song);
      return 1;
    case files::LoadResult::Refused:
      std::fprintf(stderr, "tonquill-trace: %s is too short, too large or unreadable\n", options.song);
      return 1;
    case files::LoadResult::NoHeader:
      std::fprintf(stderr, "tonquill-trace: %s has no MThd header: not a Standard MIDI File\n", options.song);
      return 1;
  }
  player::RewindSong();
  std::printf("# title %s\n", platform::AnsiToUtf8(song::SongTitle()).c_str());
  std::printf("# tracks %d division %d\n", song::TrackCount(), song::Division());

  // DEMO, started at simulated time 0 as its button starts it.
  pt::SetTime(0);
  pt::ClearMidiLog();
  game::SetPlayMode(game::kPlayModeDemo);
  player::RewindSong();
  player::StartPlayback();
  std::size_t printed = 0;
  PrintNewMessages(printed);
  for (std::uint32_t now = options.frameMs; player::PlayState() == player::kPlaying; now += options.frameMs) {
    if (now > kLongestRunMs) {
      std::printf("# stopped after one simulated hour\n");
      break;
    }
    pt::SetTime(now);
    game::RunPlaybackStep();
    if (options.positions) std::printf("# position %u %d\n", now, player::SongPosition());
    PrintNewMessages(printed);
  }
  midi::CloseMidiOutPorts();
  return 0;
}
