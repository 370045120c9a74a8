// The application shell on the testing backend: start-up, the frame pass,
// scenes and their wipes, input, the exit question and every way out.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/module_reset.h"
#include "app/input.h"
#include "app/shell.h"
#include "app/shutdown.h"
#include "base/module_state.h"
#include "draw/bmp.h"
#include "draw/eldraw.h"
#include "draw/embedded_assets.h"
#include "draw/redraw.h"
#include "draw/system_cursor.h"
#include "files/song_file.h"
#include "game/main_command.h"
#include "midi/midi_out.h"
#include "platform/testing/testing.h"
#include "platform/virtual_keys.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "program_reset.h"
#include "scene/input.h"
#include "scene/scenes.h"
#include "smf_builder.h"
#include "song/song_store.h"

namespace {

namespace pt = platform::testing;
using platform::Event;
using platform::EventKind;

constexpr draw::Pixel kNearBlack = draw::RgbToPixel(0x0A0A0A);

class Shell : public ::testing::Test {
 protected:
  void SetUp() override { test::ResetProgram(1); }
  void TearDown() override { midi::CloseMidiOutPorts(); }

  // Starts as `tonquill LINE` and runs the start-up scene's frame pass.
  void Start(const char* line = "-") {
    int exitCode = -1;
    ASSERT_TRUE(app::StartProgram(line, exitCode));
    Pass();
  }
  // One turn of the main loop, 16 ms after the last.
  bool Pass() {
    pt::AdvanceTime(16);
    return app::PumpOnce();
  }
  void Push(EventKind kind, int key = 0) { pt::PushEvent(Event{kind, 0, 0, key}); }
  // Handles every waiting event.
  void Drain() {
    while (pt::PendingEvents() > 0 && app::PumpOnce()) {
    }
  }
  static int NearBlackInFirstTile() {
    int count = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) count += pt::LastFrame()[static_cast<std::size_t>(y * 640 + x)] == kNearBlack ? 1 : 0;
    return count;
  }
  static int TileFrameCoverage(int k) {
    draw::Bitmap tiles;
    draw::DecodeBmp(draw::FindEmbeddedAsset("MASKBMP"), tiles);
    int count = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) count += tiles.rgb[static_cast<std::size_t>(y * 640 + 64 * k + x)] != 0 ? 1 : 0;
    return count;
  }
  static draw::Pixel ArtworkPixel(int x, int y) {
    draw::Bitmap art;
    draw::DecodeBmp(draw::FindEmbeddedAsset("BASC"), art);
    return draw::RgbToPixel(art.rgb[static_cast<std::size_t>(y * 640 + x)]);
  }
};

TEST_F(Shell, StartUpReachesTheMainSceneEnteredAndWithoutAWipe) {
  Start();
  EXPECT_TRUE(pt::WindowOpen());
  EXPECT_FALSE(pt::WindowFullScreen());
  EXPECT_TRUE(pt::InputMethodDisabled());
  EXPECT_EQ(scene::SceneNumber(), scene::kSceneMain);
  EXPECT_TRUE(scene::SceneEntered());
  EXPECT_EQ(scene::TransitionStep(), 0);
  EXPECT_EQ(midi::PortCount(), 1);
  EXPECT_EQ(song::TrackCount(), 1) << "\"-\" names no song: the empty one, as with no command line";
  Pass();
  EXPECT_FALSE(scene::SceneEntered());
  ASSERT_EQ(pt::PresentCount(), 1);
  EXPECT_EQ(pt::LastFrame()[300 * 640 + 30], ArtworkPixel(30, 300)) << "the artwork is shown";
  Pass();
  EXPECT_EQ(pt::PresentCount(), 1) << "an idle frame presents nothing";
  EXPECT_GT(pt::InputWaits(), 0) << "and gives the processor away";
}

TEST_F(Shell, FullScreenUnlessTheLineBeginsWithADashOrShiftIsHeld) {
  Start("");
  EXPECT_TRUE(pt::WindowFullScreen());
  EXPECT_TRUE(draw::FullScreenFlag());
  SetUp();
  pt::SetShiftHeldAtLaunch(true);
  Start("");
  EXPECT_FALSE(pt::WindowFullScreen());
  EXPECT_EQ(app::WindowBehaviour(), 3);
}

TEST_F(Shell, ExitQuestionAfterTenTileFramesAndBackOnNo) {
  Start();
  Pass();
  const int presented = pt::PresentCount();
  Push(EventKind::KeyDown, platform::vk::kEscape);
  Drain();
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(scene::TransitionStep(), k + 1);
    Pass();
    EXPECT_EQ(NearBlackInFirstTile(), TileFrameCoverage(k)) << "tile frame " << k;
    EXPECT_TRUE(pt::Boxes().empty());
  }
  EXPECT_EQ(pt::PresentCount(), presented + 10);
  pt::ScriptAnswers({false});
  Pass();  // the question
  ASSERT_EQ(pt::Boxes().size(), 1u);
  EXPECT_EQ(pt::Boxes()[0].kind, platform::BoxKind::Question);
  EXPECT_EQ(pt::Boxes()[0].text, "Do you exit ?\n");
  EXPECT_EQ(game::MainCommand(), game::kCommandRunning);
  for (int k = 0; k < 10; ++k) Pass();  // ten more closing frames
  EXPECT_EQ(scene::SceneNumber(), scene::kSceneMain);
  Pass();  // the main screen drawn afresh
  EXPECT_EQ(pt::LastFrame()[300 * 640 + 30], ArtworkPixel(30, 300));
  EXPECT_EQ(app::ShutdownCount(), 0);
}

TEST_F(Shell, JapaneseSystemAsksInJapanese) {
  pt::SetSystemLanguageJapanese(true);
  Start();
  scene::BeginSceneChange(scene::kSceneExitQuestion);
  for (int k = 0; k < 11; ++k) Pass();
  ASSERT_EQ(pt::Boxes().size(), 1u);
  EXPECT_EQ(pt::Boxes()[0].text, "プログラムを終了しますか？\n");
}

TEST_F(Shell, SceneChangeDuringAWipeRestartsIt) {
  Start();
  scene::BeginSceneChange(scene::kSceneExitQuestion);
  for (int k = 0; k < 4; ++k) Pass();
  EXPECT_EQ(scene::TransitionStep(), 5);
  Push(EventKind::KeyDown, platform::vk::kEscape);
  Drain();
  EXPECT_EQ(scene::TransitionStep(), 1);
  EXPECT_EQ(scene::TransitionDirection(), 1);
}

TEST_F(Shell, YesEndsTheProgramWithOneShutdown) {
  Start();
  pt::ScriptAnswers({true});
  scene::BeginSceneChange(scene::kSceneExitQuestion);
  for (int k = 0; k < 11; ++k) Pass();
  EXPECT_EQ(app::ShutdownCount(), 1);
  EXPECT_FALSE(pt::InstanceHeld());
  EXPECT_FALSE(Pass()) << "the posted close request ends the loop";
  EXPECT_FALSE(pt::WindowOpen());
  pt::ClearMidiLog();
  EXPECT_EQ(app::FinishProgram(), 0);
  ASSERT_EQ(pt::MidiLog().size(), 2u);
  EXPECT_EQ(pt::MidiLog()[0].kind, pt::MidiLogEntry::Reset);
  EXPECT_EQ(pt::MidiLog()[1].kind, pt::MidiLogEntry::Close);
  EXPECT_EQ(app::ShutdownCount(), 1);
}

TEST_F(Shell, CloseRequestShutsDownOnce) {
  Start();
  Push(EventKind::CloseRequest);
  EXPECT_FALSE(Pass());
  EXPECT_EQ(app::ShutdownCount(), 1);
  EXPECT_EQ(app::QuitState(), app::kShutDown);
  EXPECT_EQ(pt::PendingEvents(), 0u) << "a close request posts no second one";
  app::FinishProgram();
  EXPECT_EQ(pt::OpenMidiDeviceCount(), 0);
}

TEST_F(Shell, TheWindowsCloseButtonAsksAsEscapeDoes) {
  Start();
  Push(EventKind::UserCloseRequest);
  Drain();
  EXPECT_EQ(scene::TransitionStep(), 1) << "the wipe to the question";
  EXPECT_EQ(app::ShutdownCount(), 0);
  EXPECT_TRUE(pt::WindowOpen());
  pt::ScriptAnswers({true});
  for (int k = 0; k < 11; ++k) Pass();
  ASSERT_EQ(pt::Boxes().size(), 1u);
  EXPECT_EQ(pt::Boxes()[0].text, "Do you exit ?\n");
  EXPECT_FALSE(Pass()) << "after Yes the program's own close request ends the loop";
  EXPECT_EQ(app::ShutdownCount(), 1);
  EXPECT_FALSE(pt::WindowOpen());
}

TEST_F(Shell, TheWindowsIconIsTheMainPicture) {
  Start();
  EXPECT_EQ(pt::WindowIconWidth(), 32);
  EXPECT_EQ(pt::WindowIconHeight(), 32);
}

TEST_F(Shell, APressIsSeenInOneFramePassAndADoubleClickIsOneClick) {
  Start();
  for (EventKind kind : {EventKind::LeftDown, EventKind::LeftUp, EventKind::LeftDoubleClick, EventKind::LeftUp}) Push(kind);
  Drain();
  EXPECT_TRUE(scene::LeftPressed());
  EXPECT_FALSE(scene::LeftButtonHeld());
  Pass();
  EXPECT_FALSE(scene::LeftPressed());
  Push(EventKind::LeftDoubleClick);
  Drain();
  EXPECT_FALSE(scene::LeftPressed());
}

TEST_F(Shell, LastKeyAndSystemKeys) {
  Start();
  Push(EventKind::KeyDown, 'Q');
  Push(EventKind::KeyUp, 'W');
  Push(EventKind::SystemKey);
  Drain();
  EXPECT_EQ(scene::LastKey(), 'Q');
  Push(EventKind::KeyUp, 'Q');
  Drain();
  EXPECT_EQ(scene::LastKey(), 0);
}

TEST_F(Shell, InactiveFullScreenWaitsWhileAWindowPlaysOn) {
  Start("");
  Push(EventKind::Deactivated);
  Drain();
  const int presents = pt::PresentCount();
  Pass();
  EXPECT_EQ(pt::WaitCount(), 1);
  EXPECT_EQ(pt::PresentCount(), presents) << "no frame pass";
  Push(EventKind::Activated);
  Drain();
  Pass();
  EXPECT_EQ(pt::WaitCount(), 1);

  SetUp();
  Start("-");
  Push(EventKind::Deactivated);
  Drain();
  Pass();
  EXPECT_EQ(pt::WaitCount(), 0);
}

TEST_F(Shell, WindowedCursorHiddenOverTheClientAreaOnly) {
  Start("-");
  pt::PushEvent({EventKind::WindowMoved, 100, 50});
  Drain();
  pt::SetCursorPosition(300, 300);
  Pass();
  EXPECT_FALSE(draw::SystemCursorShown());
  Pass();
  EXPECT_EQ(pt::CursorShowBalance(), -1) << "hidden once";
  pt::SetCursorPosition(740, 300);  // right of the 640 pixels
  Pass();
  Pass();
  EXPECT_TRUE(draw::SystemCursorShown());
  EXPECT_EQ(pt::CursorShowBalance(), 0);
}

TEST_F(Shell, ASecondCopyHandsItsSongToTheFirstAndEnds) {
  const std::string here = std::filesystem::current_path().string();
  const struct {
    const char* line;
    bool answers;
    std::vector<std::string> handedOver;
    int exitCode;
    const char* says;
  } cases[] = {
      {"", true, {}, 0, ""},
      {"-", true, {}, 0, ""},
      {"/songs/tune.mid", true, {"/songs/tune.mid"}, 0, ""},
      {"my tune.mid", true, {here + "/my tune.mid"}, 0, ""},  // the first copy works in another folder
      {"--window /songs/tune.mid", true, {"/songs/tune.mid"}, 0, ""},
      {"/songs/tune.mid", false, {}, 1, "does not answer: /songs/tune.mid is not opened\n"},
      {"-", false, {}, 1, "does not answer\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    midi::CloseMidiOutPorts();  // before the backend forgets its devices
    pt::Reset();
    SetUp();
    pt::SetAnotherInstanceRunning(true, c.answers);
    int exitCode = -1;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(app::StartProgram(c.line, exitCode));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(exitCode, c.exitCode);
    EXPECT_EQ(pt::RaiseRequests(), c.answers ? 1 : 0);
    EXPECT_EQ(pt::SongsHandedOver(), c.handedOver);
    EXPECT_TRUE(said.size() >= std::strlen(c.says) && said.compare(said.size() - std::strlen(c.says), std::string::npos, c.says) == 0)
        << said;
    EXPECT_FALSE(pt::WindowOpen());
    EXPECT_TRUE(pt::Boxes().empty());
  }
}

TEST_F(Shell, ADashOrWindowBeforeTheSongPlaysItInAWindow) {
  const struct {
    const char* line;
    bool fullScreen;
    const char* song;
  } cases[] = {
      {"", true, ""},
      {"/songs/tune.mid", true, "/songs/tune.mid"},
      {"/songs/my tune.mid", true, "/songs/my tune.mid"},
      {"-", false, ""},
      {"--window", false, ""},
      {"- /songs/tune.mid", false, "/songs/tune.mid"},
      {"--window /songs/my tune.mid", false, "/songs/my tune.mid"},
      {"- -tune.mid", false, "-tune.mid"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    midi::CloseMidiOutPorts();  // before the backend forgets its devices
    pt::Reset();
    SetUp();
    files::ResetSongFile();
    Start(c.line);
    EXPECT_EQ(pt::WindowFullScreen(), c.fullScreen);
    EXPECT_STREQ(app::CommandLineBuffer(), c.song);
    EXPECT_STREQ(files::SongPath(), c.song) << "the song it tried to load";
    EXPECT_EQ(pt::Boxes().size(), c.song[0] != '\0' ? 1u : 0u) << "a song that cannot be opened is said";
  }
}

TEST_F(Shell, LowColourDesktopOffersFullScreen) {
  // In the system's language.
  const std::array<std::array<const char*, 3>, 2> texts = {{
      {"ja", "　ウィンドウ状態で実行しようとしていますが、画面が256色以下に設定されています。\n"
             "正しく動作させるには、65536色以上に設定するか、フルスクリーンで実行させて下さい。\n",
       "フルスクリーンに切り換えますか？\n"},
      {"en", "The game is to run in a window, but the screen is set to 256 colours or fewer.\n"
             "To run correctly, set it to 65536 colours or more, or run the game in full screen.\n",
       "Switch to full screen?\n"},
  }};
  for (const auto& [language, message, question] : texts) {
    SCOPED_TRACE(language);
    SetUp();
    pt::SetSystemLanguageJapanese(std::string(language) == "ja");
    pt::SetDesktopDepth(8);
    pt::ScriptAnswers({true});
    Start("-");
    ASSERT_EQ(pt::Boxes().size(), 2u);
    EXPECT_EQ(pt::Boxes()[0].text, message);
    EXPECT_EQ(pt::Boxes()[1].text, question);
    EXPECT_TRUE(pt::WindowFullScreen());
  }

  SetUp();
  pt::SetDesktopDepth(8);
  pt::ScriptAnswers({false});
  int exitCode = -1;
  EXPECT_FALSE(app::StartProgram("-", exitCode));
  EXPECT_EQ(exitCode, 0);
  EXPECT_FALSE(pt::WindowOpen());
  EXPECT_EQ(app::ShutdownCount(), 1);

  SetUp();
  pt::SetDesktopDepth(16);
  Start("-");
  EXPECT_TRUE(pt::Boxes().empty());
}

TEST_F(Shell, ACommandLineTooLongForItsBufferLoadsNoSong) {
  testing::internal::CaptureStderr();
  Start(std::string(300, 'x').c_str());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("too long"), std::string::npos);
  EXPECT_STREQ(app::CommandLineBuffer(), "");
  EXPECT_EQ(song::TrackCount(), 1) << "the empty song, not a cut path";
}

// The program's reset reaches every module state by its declaration.
struct Sample {
  int count = 7;
  std::string name = "start";
};
base::ModuleState<Sample> sample;

TEST(ModuleState, TheProgramsResetPutsEveryDeclaredStateBack) {
  sample.count = 1;
  sample.name = "changed";
  player::SetPlaybackSpeedPercent(50);
  const int states = base::ModuleStateCount();
  app::ResetAllModules();
  EXPECT_EQ(sample.count, 7);
  EXPECT_EQ(sample.name, "start");
  EXPECT_EQ(player::PlaybackSpeedPercent(), player::kFullSpeedPercent);
  EXPECT_EQ(base::ModuleStateCount(), states) << "a reset registers nothing new";
}

}  // namespace
