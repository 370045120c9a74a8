#include "fuzz_support.h"

#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/input.h"
#include "app/scenes.h"
#include "app/shell.h"
#include "app/system_cursor.h"
#include "draw/eldraw.h"
#include "draw/redraw.h"
#include "files/song_file.h"
#include "game/judging.h"
#include "game/main_scene_playback.h"
#include "game/play_mode.h"
#include "midi/midi_out.h"
#include "midi/timing.h"
#include "platform/testing/testing.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "song/song_scan.h"
#include "song/song_store.h"
#include "song/track_reader.h"

namespace fuzz {

static std::string privateFolder;

static int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return std::remove(path); }
static void RemovePrivateFolder() {
  if (!privateFolder.empty()) nftw(privateFolder.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

const std::string& PrivateFolder() {
  if (privateFolder.empty()) {
    char name[] = "/tmp/tonquill-fuzz-XXXXXX";
    if (mkdtemp(name) == nullptr) std::abort();
    privateFolder = name;
    std::atexit(RemovePrivateFolder);
  }
  return privateFolder;
}

std::string WriteFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = PrivateFolder() + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return path;
}

void ResetProgram(int ports) {
  midi::CloseMidiOutPorts();
  platform::testing::Reset();
  platform::testing::SetMidiDevices({.count = ports});
  draw::ResetDraw();
  draw::ClearRedrawRequest();
  app::ResetScenes();
  app::ResetShell();
  app::ResetInput();
  app::ResetSystemCursor();
  song::ResetSongStore();
  song::ResetTrackReader();
  song::ResetSongScan();
  files::ResetSongFile();
  player::ResetEventDispatch();
  player::ResetPlaybackClock();
  player::ResetGuideTrack();
  game::ResetPlayMode();
  game::ResetJudging();
  game::SetShownVerdict(game::kVerdictNone);
  game::ClearHaltedAtGuide();
  midi::InitTimingServices();
}

}  // namespace fuzz
