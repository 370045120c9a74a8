#include "program_reset.h"

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

namespace test {

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

}  // namespace test
