// Until the application shell exists, tonquill loads one song file through
// the song store and prints what the store and the scan made of it, and
// lists the MIDI output ports it would use.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/command_line.h"
#include "files/song_file.h"
#include "midi/midi_out.h"
#include "platform/platform.h"
#include "song/song_scan.h"
#include "song/song_store.h"

namespace {

const char kUsage[] =
    "usage: tonquill [SONG.mid | -]\n"
    "       tonquill --list-ports [SONG.mid]\n"
    "\n"
    "  SONG.mid      the song to load at start-up\n"
    "  -             (or any line beginning with '-') play in a window\n"
    "  --list-ports  print the MIDI output ports by number and exit\n"
    "  --help        print this text and exit\n"
    "  --version     print the version and exit\n";

// The ports as the game numbers them for this command line: the mapper
// comes first only when the command line's song (or redade7.mid) opens.
int ListPorts(const char* song) {
  app::SetCommandLine(song);
  midi::OpenMidiOutPorts();
  if (midi::PortCount() == 0) std::printf("no MIDI output ports: the game plays silently\n");
  for (int port = 0; port < midi::PortCount(); ++port) std::printf("%d  %s\n", port, midi::PortName(port));
  midi::CloseMidiOutPorts();
  return 0;
}

int PrintSong(const char* path) {
  song::PrepareSongBanks(path);
  if (song::SongErrorFlag() || song::TrackCount() == 0) {
    std::fprintf(stderr, "tonquill: cannot load \"%s\" as a Standard MIDI File\n", path);
    return 1;
  }
  std::printf("title:    %s\n", platform::AnsiToUtf8(song::SongTitle()).c_str());
  std::printf("tracks:   %d\n", song::TrackCount());
  std::printf("division: %d\n", song::Division());
  std::printf("measure  start-tick  signature  tempo\n");
  const int last = std::min(song::ScannedMeasureCount() + 1, song::kMeasureTableSize - 1);
  for (int m = 0; m <= last; ++m) {
    const song::MeasureEntry& e = song::Measure(m);
    std::printf("%7d  %10d  %5d/%-3d  %5d\n", m + 1, e.startTick, e.numerator, e.denominator, e.tempo);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* first = argc > 1 ? argv[1] : "";
  if (std::strcmp(first, "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (std::strcmp(first, "--version") == 0) {
    std::printf("tonquill %s\n", TONQUILL_VERSION);
    return 0;
  }
  if (std::strcmp(first, "--list-ports") == 0) return ListPorts(argc > 2 ? argv[2] : "");
  if (argc != 2 || first[0] == '-') {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return PrintSong(first);
}
