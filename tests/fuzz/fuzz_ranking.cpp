// A ranking file beside a song, read as the FILE button reads it; a new
// score put into it as name entry does, the table drawn, the file written
// back and read again.
#include <cstddef>
#include <cstdint>

#include "app/shell.h"
#include "files/ranking.h"
#include "fuzz_support.h"
#include "game/judging.h"
#include "game/score_screens.h"
#include "platform/testing/testing.h"
#include "program_reset.h"

namespace {

// The program started once, through its start-up scene (the artwork the
// table is drawn from loads there).
bool StartOnce() {
  test::ResetProgram(0);
  int exitCode = 0;
  if (!app::StartProgram("-", exitCode)) return false;
  for (int i = 0; i < 2; ++i) {
    platform::testing::AdvanceTime(16);
    app::PumpOnce();
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool started = StartOnce();
  if (!started) return 0;
  files::ResetRanking();
  const std::string song = fuzz::WriteFile("tune.mid", data, 0);
  fuzz::WriteFile("tune.DAT", data, size);
  files::DeriveRankingPath(song.c_str());
  files::ReadRankingFile();
  // A score from the file's first byte, so the new entry lands anywhere.
  game::SetScore(size > 0 ? data[0] * 4 : 0);
  game::PlaceNewScore();
  game::DrawRankingTable(game::NewEntryRecord());
  files::WriteRankingFile();
  files::ReadRankingFile();
  game::DrawRankingTable(-1);
  return 0;
}

