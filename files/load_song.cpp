#include "files/load_song.h"

#include "files/ranking.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"
#include "song/song_scan.h"
#include "song/song_store.h"

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

void ReadSongRanking() {
  RestoreDefaultRankingText();
  DeriveRankingPath(SongPath());
  ReadRankingFile();
}

}  // namespace files

namespace song {

// The song named on the command line is loaded as the FILE button loads one,
// so it can be played and has its ranking; a failure is said.
void LoadCommandLineSong(const char* path) {
  files::SetSongPath(path);
  TitleChanged();
  files::LoadSongAndRanking(true);
}

}  // namespace song
