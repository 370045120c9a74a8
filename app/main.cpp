// Until the application shell exists, tonquill loads one song file through
// the song store and prints what the store and the scan made of it.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "files/song_file.h"
#include "platform/platform.h"
#include "song/song_scan.h"
#include "song/song_store.h"

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: tonquill SONG.mid\n");
    return 2;
  }
  song::PrepareSongBanks(argv[1]);
  if (song::SongErrorFlag() || song::TrackCount() == 0) {
    std::fprintf(stderr, "tonquill: cannot load \"%s\" as a Standard MIDI File\n", argv[1]);
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
