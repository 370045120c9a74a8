// A song file as the FILE button loads it (read, install, scan, rewind),
// then played in DEMO to its end on simulated time, then once more in GAME
// with every guide note taken as soon as the song halts at it. Each run is
// bounded to one simulated hour.
#include <cstddef>
#include <cstdint>

#include "files/song_file.h"
#include "fuzz_support.h"
#include "game/judging.h"
#include "game/main_scene_playback.h"
#include "game/play_mode.h"
#include "midi/midi_out.h"
#include "platform/testing/testing.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "song/song_store.h"

namespace {

namespace pt = platform::testing;

constexpr std::uint32_t kFrameMs = 100;
constexpr std::uint32_t kLongestRunMs = 60 * 60 * 1000;

void PlayOneRun(int playMode) {
  pt::SetTime(0);
  game::SetPlayMode(playMode);
  player::RewindSong();
  player::StartPlayback();
  for (std::uint32_t now = kFrameMs; now <= kLongestRunMs && player::PlayState() == player::kPlaying; now += kFrameMs) {
    pt::SetTime(now);
    game::RunPlaybackStep();
    if (game::HaltedAtGuide() && player::IsGuidePerformed() == 1) {
      // The player's key, as the computer-keyboard piano sends it.
      game::JudgeTiming();
      const int note = player::TakeGuideNote(60);
      const std::uint8_t on[] = {0x90, static_cast<std::uint8_t>(note & 0x7F), player::GuideVelocity()};
      player::SendEventMessage(on, 3);
    }
    pt::ClearMidiLog();  // the log would otherwise grow for an hour
  }
  player::StopPlayback(player::kStopByUser);
  player::RewindSong();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ResetProgram(2);
  midi::OpenMidiOutPorts();
  song::PrepareSongBanks("");
  files::SetSongPath(fuzz::WriteFile("song.mid", data, size).c_str());
  if (files::LoadSongFile() != files::LoadResult::Installed) return 0;
  player::RewindSong();
  PlayOneRun(game::kPlayModeDemo);
  PlayOneRun(game::kPlayModeGame);
  midi::CloseMidiOutPorts();
  return 0;
}
