#include "app/module_reset.h"

#include "app/command_line.h"
#include "app/shell.h"
#include "app/shutdown.h"
#include "draw/eldraw.h"
#include "draw/messages.h"
#include "draw/redraw.h"
#include "draw/system_cursor.h"
#include "files/ranking.h"
#include "files/song_file.h"
#include "game/artwork_text.h"
#include "game/computer_keyboard.h"
#include "game/controls.h"
#include "game/demo_keys.h"
#include "game/file_button.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/main_scene.h"
#include "game/main_scene_playback.h"
#include "game/midi_keyboard.h"
#include "game/piano.h"
#include "game/piano_input.h"
#include "game/play_mode.h"
#include "game/press_record.h"
#include "game/score_screens.h"
#include "game/statistics_scene.h"
#include "midi/midi_out.h"
#include "midi/timing.h"
#include "player/chase_table.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/lyric_lines.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"
#include "scene/input.h"
#include "scene/scenes.h"
#include "song/song_parts.h"
#include "song/measure_map.h"
#include "song/song_scan.h"
#include "song/song_store.h"
#include "song/track_reader.h"

namespace app {

// Layer by layer from the bottom; a module with state that is missing here
// keeps what the previous run left in it.
void ResetAllModules() {
  song::ResetSongStore();
  song::ResetSongScan();
  song::ResetMeasureMap();
  song::ResetSongParts();
  midi::ResetMidiOut();
  midi::InitTimingServices();
  player::ResetEventDispatch();
  player::ResetChaseTable();
  player::ResetPlaybackClock();
  player::ResetGuideTrack();
  player::ResetLyricLines();
  player::ResetPassageLoop();
  draw::ResetDraw();  // the screen, the objects and the text settings
  draw::ResetPressedBox();
  draw::ResetRedraw();
  draw::ResetMessages();
  draw::ResetSystemCursor();
  files::ResetSongFile();
  files::ResetRanking();
  scene::ResetScenes();
  scene::ResetInput();
  game::ResetPlayMode();
  game::ResetJudgingState();
  game::ResetMainScenePlayback();
  game::ResetControls();
  game::ResetFileButton();
  game::ResetComputerKeyboard();
  game::ResetMidiKeyboard();
  game::ResetPianoInput();
  game::ResetMainScene();
  game::ResetLyricBar();
  game::ResetDemoKeys();
  game::ResetPiano();
  game::ResetScoreScreens();  // the ranking table, the name entry and the ranking scene
  game::ClearPressRecord();
  game::ResetStatisticsScene();
  game::ResetArtworkText();
  ResetCommandLine();
  ResetShell();
  ResetShutdown();
}

}  // namespace app
