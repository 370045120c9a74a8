#include "program_reset.h"

#include "app/input.h"
#include "app/scenes.h"
#include "app/shell.h"
#include "app/shutdown.h"
#include "app/system_cursor.h"
#include "draw/eldraw.h"
#include "draw/redraw.h"
#include "files/ranking.h"
#include "files/song_file.h"
#include "game/computer_keyboard.h"
#include "game/controls.h"
#include "game/file_button.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/main_scene.h"
#include "game/main_scene_playback.h"
#include "game/midi_keyboard.h"
#include "game/play_mode.h"
#include "game/score_screens.h"
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
  draw::SetPressedBoxState(0);
  app::ResetScenes();
  app::ResetShell();
  app::ResetInput();
  app::ResetShutdown();
  app::ResetSystemCursor();
  song::ResetSongStore();
  song::ResetTrackReader();
  song::ResetSongScan();
  files::ResetSongFile();
  files::ResetRanking();
  player::ResetEventDispatch();
  player::ResetPlaybackClock();
  player::ResetGuideTrack();
  game::ResetPlayMode();
  game::ResetJudging();
  game::ResetScore();
  game::ClearHaltedAtGuide();
  game::ResetControls();
  game::ResetFileButton();
  game::ResetComputerKeyboard();
  game::ResetMidiKeyboard();
  game::ResetMainScene();
  game::ResetLyricBar();
  game::ResetScoreScreens();
  midi::InitTimingServices();
}

}  // namespace test
