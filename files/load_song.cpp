#include "files/load_song.h"

#include "files/ranking.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"

namespace files {

LoadResult LoadSong(bool reportFailure) {
  const LoadResult result = LoadSongFile();
  if (result == LoadResult::Installed) {
    player::ClearLoop();  // its measures belong to the last song
    SetSongLoaded();
  } else if (reportFailure) {
    ReportLoadFailure(result);
  }
  return result;
}

LoadResult LoadSongAndRanking(bool reportFailure) {
  const LoadResult result = LoadSong(reportFailure);
  // A file that is not a song (a text chosen by mistake, or "-" asking for
  // a window) gets no ranking file beside it: the ranking stays as it was.
  if (result != LoadResult::Installed) {
    ParseRankingScores();
    return result;
  }
  RemoveStaleRankingWrites(SongPath());
  ReadSongRanking();
  return result;
}

LoadResult LoadCommandLineSong(const char* path) {
  SetSongPath(path);
  return LoadSongAndRanking(true);
}

void ReadSongRanking() {
  RestoreDefaultRankingText();
  DeriveRankingPath(SongPath());
  ReadRankingFile();
}

}  // namespace files
