// A song file as the FILE button loads it (read, install, scan, rewind),
// then played in DEMO to its end on simulated time, then once more in GAME
// with every guide note taken as soon as the song halts at it. Each run is
// bounded to one simulated hour.
#include <cstddef>
#include <cstdint>

#include "files/song_file.h"
#include "fuzz_support.h"
#include "game/engine_events.h"
#include "game/main_command.h"
#include "midi/midi_out.h"
#include "player/playback_clock.h"
#include "program_reset.h"
#include "song/song_store.h"
#include "song_run.h"

namespace {
// Long frames keep an hour of song to 36,000 frames.
constexpr std::uint32_t kFrameMs = 100;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  test::ResetProgram(2);
  midi::OpenMidiOutPorts("");
  song::PrepareSongStore();
  song::InstallEmptySong();
  files::SetSongPath(fuzz::WriteFile("song.mid", data, size).c_str());
  if (files::LoadSongFile() == files::LoadResult::Installed) {
    game::ShowHappenings(player::RewindSong());
    fuzz::PlaySongRun(player::PlayMode::Demo, kFrameMs);
    fuzz::PlaySongRun(player::PlayMode::Game, kFrameMs);
  }
  midi::CloseMidiOutPorts();
  return 0;
}
