// The main screen's controls, driven as a user drives them: clicks on the
// button row and note keys held on the computer keyboard.
#include <algorithm>

#include "app/input.h"
#include "app/scenes.h"
#include "draw/eldraw.h"
#include "files/ranking.h"
#include "files/song_file.h"
#include "game/computer_keyboard.h"
#include "game/controls.h"
#include "game/judging.h"
#include "game/main_command.h"
#include "game/piano_keys.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "player/run_step.h"
#include "program_fixture.h"
#include "program_reset.h"
#include "scene/scenes.h"

namespace {

namespace pt = platform::testing;
using test::Bytes;
using test::Track;

constexpr draw::Pixel kWhite = draw::RgbToPixel(0xFFFFFF);
constexpr draw::Pixel kGrey = draw::RgbToPixel(0x7F7F7F);

// 120 beats per minute at 480 ticks: a tick lasts 1.0417 ms. The guide
// (track 2) plays E4, G4, C5 at ticks 960, 1920, 2880 with velocities
// 90, 80, 70; track 3 plays a low note every half second.
std::vector<Track> GuideSong() {
  Track conductor, guide, band;
  conductor.Tempo(0, 500000).End(3840);
  guide.Event(960, {0x90, 64, 90}).Event(400, {0x80, 64, 0});
  guide.Event(560, {0x90, 67, 80}).Event(400, {0x80, 67, 0});
  guide.Event(560, {0x90, 72, 70}).Event(400, {0x80, 72, 0}).End(0);
  for (int i = 0; i < 8; ++i) band.Event(i == 0 ? 0 : 440, {0x92, 36, 50}).Event(40, {0x82, 36, 0});
  band.End(0);
  return {conductor, guide, band};
}

class Controls : public test::ProgramTest {
 protected:
  // The bevel's first light line of a button: white when raised, grey when
  // drawn sunken.
  static draw::Pixel BevelTopLeft(int button) {
    const game::SourceRect r = game::ButtonRect(button);
    return Shown(r.left + 1, r.top);
  }
};

TEST_F(Controls, HitRectanglesOfTheButtonRow) {
  StartWithSong(GuideSong());
  Click(10, 195);  // the left edge of FILE is outside
  EXPECT_TRUE(pt::OpenDialogs().empty());
  Click(71, 200);
  EXPECT_EQ(pt::OpenDialogs().size(), 1u) << "x = 71 is FILE";
  Click(289, 210);  // the bottom edge of DEMO is outside
  EXPECT_EQ(player::PlayState(), player::kStopped);
  Click(289, 209);
  EXPECT_EQ(player::PlayState(), player::kPlaying);
  Click(72, 200);
  EXPECT_EQ(player::PlayState(), player::kStopped) << "x = 72 is stop";
  Click(629, 195);
  EXPECT_EQ(game::MainCommand(), game::kCommandExit) << "x = 629 is EXIT";
}

TEST_F(Controls, AHeldButtonActsOnceAndAgainAfterRelease) {
  StartWithSong(GuideSong());
  // Stop acts (draws itself sunken, which presents) once per press.
  PressMouse(100, 195);
  const int presented = pt::PresentCount();
  for (int i = 0; i < 5; ++i) Pass();
  EXPECT_EQ(pt::PresentCount(), presented) << "held: no second action";
  ReleaseMouse();
  PressMouse(100, 195);
  EXPECT_GT(pt::PresentCount(), presented + 1) << "released and pressed again: it acts again";
  ReleaseMouse();
}

TEST_F(Controls, AClickWhosePressAndReleaseArriveTogetherCounts) {
  StartWithSong(GuideSong());
  pt::PushEvent({platform::EventKind::MouseMove, 289, 195});
  pt::PushEvent({platform::EventKind::LeftDown, 289, 195});
  pt::PushEvent({platform::EventKind::LeftUp, 289, 195});
  Pass();
  EXPECT_EQ(player::PlayState(), player::kPlaying) << "a touchpad tap on DEMO";
}

TEST_F(Controls, MomentaryButtonsRiseOnReleaseModeButtonsStayPressed) {
  StartWithSong(GuideSong());
  EXPECT_EQ(BevelTopLeft(game::kButtonStop), kWhite);
  PressMouse(100, 195);
  EXPECT_EQ(BevelTopLeft(game::kButtonStop), kGrey) << "stop is drawn sunken while held";
  Pass();
  EXPECT_EQ(BevelTopLeft(game::kButtonStop), kGrey);
  ReleaseMouse();
  EXPECT_EQ(BevelTopLeft(game::kButtonStop), kWhite) << "raised on the first frame the button is up";

  ClickButton(game::kButtonTraining);
  for (int i = 0; i < 5; ++i) Pass();
  EXPECT_EQ(BevelTopLeft(game::kButtonTraining), kGrey) << "a mode button stays pressed while its run plays";
  ClickButton(game::kButtonStop);
  EXPECT_EQ(BevelTopLeft(game::kButtonTraining), kWhite) << "stop raises the mode buttons";
}

TEST_F(Controls, WhilePlayingOnlyStopActs) {
  StartWithSong(GuideSong());
  ClickButton(game::kButtonDemo);
  const int presses = static_cast<int>(pt::OpenDialogs().size());
  for (int n : {game::kButtonFile, game::kButtonGame, game::kButtonTraining, game::kButtonRank, game::kButtonExit}) {
    ClickButton(n);
    EXPECT_EQ(BevelTopLeft(n), kWhite) << "button " << n << " shows no press";
  }
  EXPECT_EQ(static_cast<int>(pt::OpenDialogs().size()), presses);
  EXPECT_EQ(player::RunMode(), player::PlayMode::Demo);
  EXPECT_EQ(game::MainCommand(), game::kCommandRunning);
  EXPECT_EQ(player::PlayState(), player::kPlaying);
  ClickButton(game::kButtonStop);
  EXPECT_EQ(player::PlayState(), player::kStopped);
  EXPECT_EQ(game::MainCommand(), game::kCommandStopped);
}

// A port that cannot sound yet (the built-in synthesizer still reading its
// SoundFont just after start-up) holds the run's start, with the wait
// cursor, so the song's first notes are heard; one that never becomes
// ready holds it 10 s at most. The band's first note is at tick 0.
TEST_F(Controls, ARunWaitsForPortsThatCannotSoundYet) {
  for (const std::uint32_t readyAfter : {300u, 60000u}) {
    SCOPED_TRACE(readyAfter);
    test::ResetProgram(1);
    StartWithSong(GuideSong());
    // The click is taken in the frame pass 16 ms from now.
    const std::uint32_t clicked = platform::TimeMs() + 16;
    pt::SetMidiDevices({.count = 1, .readyAtMs = clicked + readyAfter});
    const int waitCursors = pt::WaitCursorCount();
    ClickButton(game::kButtonDemo);
    ASSERT_EQ(player::PlayState(), player::kPlaying);
    EXPECT_EQ(pt::WaitCursorCount(), waitCursors + 1);
    EXPECT_EQ(pt::LastCursorShape(), platform::CursorShape::Arrow);
    const std::uint32_t startsAt = clicked + std::min(readyAfter, 10000u);
    std::uint32_t firstNote = 0;
    for (const auto& e : pt::MidiLog())
      if (e.kind == pt::MidiLogEntry::Short && e.bytes == Bytes{0x92, 36, 50}) {
        firstNote = e.time;
        break;
      }
    EXPECT_GE(firstNote, startsAt);
    EXPECT_LE(firstNote, startsAt + 3 * 16) << "the song starts once the port sounds";
    ClickButton(game::kButtonStop);
  }
}

// GAME, TRAINING and DEMO need a song, and GAME and TRAINING a part in it
// (notes outside the drums): otherwise a message in the system's language,
// and no run. A second track without notes leaves the first part to play.
TEST_F(Controls, PlayButtonsRefuseWithoutASongOrATune) {
  Track conductor, noNotes, runningStatus;
  conductor.Tempo(0, 500000).End(960);
  // A note-on of velocity 0 and a controller are no notes to play; a note
  // under running status is one.
  noNotes.Event(0, {0x90, 60, 0}).Event(100, {0xB0, 7, 100}).End(0);
  runningStatus.Event(0, {0x90, 60, 0}).Event(100, {64, 90}).Event(100, {64, 0}).End(0);
  const Track band = Track().Event(0, {0x92, 36, 50}).Event(480, {0x82, 36, 0}).End(0);
  const Track drums = Track().Event(0, {0x99, 36, 50}).Event(480, {0x89, 36, 0}).End(0);
  const std::string noSong[2] = {"No song is loaded.\nPlease load a song file with FILE.\n",
                                 "ファイルが選択されていません。\n曲ファイルを読み込んでください。\n"};
  const std::string nothing[2] = {
      "This song has no part to play: it has no notes outside the drums.\nDEMO plays the song.\n",
      "この曲には弾けるパートがありません（ドラム以外の音符がありません）。\nDEMOで曲を聴けます。\n"};
  struct Case {
    const char* name;
    std::vector<Track> song;  // empty: no song loaded
    int button;
    const std::string* message;  // nullptr: the run starts
  };
  const Case cases[] = {
      {"no song, DEMO", {}, game::kButtonDemo, noSong},
      {"no song, GAME", {}, game::kButtonGame, noSong},
      {"one track, GAME", {conductor}, game::kButtonGame, nothing},
      {"one track, TRAINING", {conductor}, game::kButtonTraining, nothing},
      {"one track, DEMO", {conductor}, game::kButtonDemo, nullptr},
      {"drums only, GAME", {conductor, noNotes, drums}, game::kButtonGame, nothing},
      {"drums only, TRAINING", {conductor, noNotes, drums}, game::kButtonTraining, nothing},
      {"drums only, DEMO", {conductor, noNotes, drums}, game::kButtonDemo, nullptr},
      {"no note-on in the second track, GAME", {conductor, noNotes, band}, game::kButtonGame, nullptr},
      {"running status, GAME", {conductor, runningStatus, band}, game::kButtonGame, nullptr},
  };
  for (const Case& c : cases)
    for (const bool japanese : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (japanese ? ", Japanese" : ""));
      test::ResetProgram(1);
      pt::SetSystemLanguageJapanese(japanese);
      if (c.song.empty()) Start("-");
      else StartWithSong(c.song);
      ClickButton(c.button);
      if (c.message == nullptr) {
        EXPECT_TRUE(pt::Boxes().empty());
        EXPECT_EQ(player::PlayState(), player::kPlaying);
        ClickButton(game::kButtonStop);
        continue;
      }
      ASSERT_EQ(pt::Boxes().size(), 1u);
      EXPECT_EQ(pt::Boxes()[0].title, japanese ? "メッセージ" : "Message");
      EXPECT_EQ(pt::Boxes()[0].text, c.message[japanese ? 1 : 0]);
      EXPECT_EQ(player::PlayState(), player::kStopped);
      EXPECT_EQ(BevelTopLeft(c.button), kWhite) << "the button shows no press";
      for (int i = 0; i < 3; ++i) Pass();
      EXPECT_EQ(scene::TransitionDirection(), 0) << "no score screen follows";
    }
}

TEST_F(Controls, CommandLineSongIsPlayableAndHasItsRanking) {
  // The ranking file beside the song is read, as the FILE button reads it.
  songPath_ = test::WriteTempFile(test::SmfFile(GuideSong()), "tune.mid");
  const std::string ranking = songPath_.substr(0, songPath_.size() - 3) + "DAT";
  const std::string text = "ZED        0900 ";
  std::FILE* file = std::fopen(ranking.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
  Start(songPath_);
  EXPECT_TRUE(files::SongLoaded());
  EXPECT_EQ(std::string(files::RankingPath()), ranking);
  EXPECT_EQ(files::RankingScore(0), 900);
  EXPECT_EQ(files::RankingScore(1), 400) << "the rest comes from the default ranking";
  ClickButton(game::kButtonDemo);
  EXPECT_EQ(player::PlayState(), player::kPlaying);
  EXPECT_TRUE(pt::Boxes().empty());
}

TEST_F(Controls, KeysPlayTheirNotesWithTheOctaveKeys) {
  StartWithSong(GuideSong());
  KeyDown('A');  // a tap that goes down and up between two passes sounds
  KeyUp('A');
  Pass();
  EXPECT_EQ(TakeSent(), (std::vector<Bytes>{{0x90, 60, 100}, {0x90, 60, 0}}));
  Tap(platform::vk::kThreeRightOfL);  // the twentieth key
  EXPECT_EQ(NoteOns(TakeSent()), (std::vector<Bytes>{{79, 100}}));
  KeyDown(platform::vk::kShift);
  Tap('A', 3);
  KeyUp(platform::vk::kShift);
  EXPECT_EQ(NoteOns(TakeSent()), (std::vector<Bytes>{{72, 100}}));
  KeyDown(platform::vk::kControl);
  Tap('A', 3);
  KeyUp(platform::vk::kControl);
  EXPECT_EQ(NoteOns(TakeSent()), (std::vector<Bytes>{{48, 100}}));
}

// A held key keeps the note it started until it is let go: while the
// octave keys change under it, and through another screen (Escape's
// question here), whose keys sound nothing on the main screen either.
TEST_F(Controls, AHeldKeyKeepsItsNoteAndOtherScreensKeysSoundNothing) {
  StartWithSong(GuideSong());
  KeyDown(platform::vk::kShift);
  KeyDown('A');
  Pass();
  EXPECT_EQ(TakeSent(), (std::vector<Bytes>{{0x90, 72, 100}}));
  KeyUp(platform::vk::kShift);
  KeyDown(platform::vk::kControl);
  pt::PushEvent({platform::EventKind::KeyDown, 0, 0, platform::vk::kEscape});
  ASSERT_TRUE(PassUntilHolds([] { return scene::SceneNumber() == scene::kSceneExitQuestion; }, 40));
  KeyDown('D');
  KeyUp('D');
  pt::ScriptAnswers({false});
  ASSERT_TRUE(PassUntilHolds([] { return scene::SceneNumber() == scene::kSceneMain && scene::TransitionStep() == 0; }, 40));
  Pass();
  EXPECT_TRUE(TakeSent().empty());
  KeyUp('A');
  Pass();
  EXPECT_EQ(TakeSent(), (std::vector<Bytes>{{0x90, 72, 0}}));
}

TEST_F(Controls, TrainingTakesTheGuideNoteWithAnyKey) {
  StartWithSong(GuideSong());
  ClickButton(game::kButtonTraining);
  TakeSent();
  Tap('A');  // not E4, but any key takes the guide note in training
  EXPECT_EQ(NoteOns(TakeSent()), (std::vector<Bytes>{{64, 80}})) << "sounded with the next guide note's velocity";
  EXPECT_EQ(player::GuideNote(), 67);
  EXPECT_EQ(player::LastShownGuideNote(), 67);
  Tap('P');
  EXPECT_EQ(NoteOns(TakeSent()), (std::vector<Bytes>{{67, 70}}));
  EXPECT_EQ(player::GuideNote(), 72);
  EXPECT_EQ(game::NotesPlayed(), 2);
}

TEST_F(Controls, GameRefusesWrongKeysAndAWrongKeyBlocksLaterOnes) {
  StartWithSong(GuideSong());
  ClickButton(game::kButtonGame);
  TakeSent();
  // 'A' (C4) is wrong and earlier in the table than 'D' (E4), the guide note.
  KeyDown('A');
  KeyDown('D');
  for (int i = 0; i < 4; ++i) Pass();
  EXPECT_TRUE(NoteOns(TakeSent()).empty());
  EXPECT_EQ(game::NotesPlayed(), 0);
  KeyUp('A');
  Pass();
  EXPECT_EQ(NoteOns(TakeSent()), (std::vector<Bytes>{{64, 80}}));
  EXPECT_EQ(game::NotesPlayed(), 1);
  KeyUp('D');
  // A wrong key later in the table does not block the right one.
  KeyDown('J');  // B4: wrong for G4 and for C5 after it
  KeyDown('G');  // G4
  Pass();
  Pass();
  EXPECT_EQ(NoteOns(TakeSent()), (std::vector<Bytes>{{67, 70}}));
}

TEST_F(Controls, ARunStartsFromScoreZero) {
  StartWithSong(GuideSong());
  ClickButton(game::kButtonTraining);
  for (int note = 0; note < 2; ++note) {
    ASSERT_TRUE(PassUntilHolds(player::HaltedAtGuide));
    Tap('A');  // Good: within the window
  }
  ASSERT_EQ(game::Score(), 20) << "2 x 1000 / 99";
  ClickButton(game::kButtonStop);
  ClickButton(game::kButtonGame);
  EXPECT_EQ(game::Score(), 0);
}

// A guide note the keys cannot reach (below 48 or above 91) is moved by
// octaves into their reach: the key that plays the moved note is lit (with
// the arrow look an octave beyond the twenty keys) and takes the note in a
// game, which sounds the song's own note. A MIDI keyboard plays the note
// itself.
TEST_F(Controls, GuideNotesBeyondTheKeysAreTakenWithTheKeyOfTheirOctave) {
  constexpr int kBelow = game::kKeyLookLitOctaveBelow, kAbove = game::kKeyLookLitOctaveAbove;
  struct Case {
    int note;
    int octaveKey;
    int key;    // virtual key
    int shown;  // the piano key lit, 0..19
    bool black;
    int look;
  };
  const Case cases[] = {
      {30, platform::vk::kControl, 'T', 6, true, kBelow},    // F#1 as F#3
      {47, platform::vk::kControl, 'J', 11, false, kBelow},  // B2 as B3
      {48, platform::vk::kControl, 'A', 0, false, kBelow},   // C3, in reach
      {92, platform::vk::kShift, 'Y', 8, true, kAbove},      // G#6 as G#5
      {127, platform::vk::kShift, 0xDD, 19, false, kAbove},  // G9 as G6
  };
  // The white column of each key, and the artwork of a key look.
  const int column[20] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6, 7, 7, 8, 8, 9, 10, 10, 11};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    test::ResetProgram(1);
    const auto note = static_cast<std::uint8_t>(c.note);
    Track conductor, guide;
    conductor.Tempo(0, 500000).End(1920);
    guide.Event(480, {0x90, note, 90}).Event(240, {0x80, note, 0}).Event(0, {0x90, note, 90}).End(240);
    StartWithSong({conductor, guide});
    ClickButton(game::kButtonGame);
    const int x = 8 + 52 * column[c.shown];
    if (c.black) EXPECT_TRUE(ShowsArtwork(x + 42, 264, {208 + 20 * c.look, 480, 227 + 20 * c.look, 616}));
    else EXPECT_TRUE(ShowsArtwork(x, 400, {52 * c.look, 616, 52 * c.look + 52, 688}));
    TakeSent();
    Tap(c.key);  // without its octave key: another note, refused
    if (game::NoteInReach(c.note) != c.note) {
      pt::PushMidiInput({platform::MidiInputEvent::NoteOn, 0, game::NoteInReach(c.note), 64});
      Pass();
    }
    EXPECT_EQ(game::NotesPlayed(), 0) << "a MIDI keyboard must play the note itself";
    KeyDown(c.octaveKey);
    Tap(c.key);
    KeyUp(c.octaveKey);
    EXPECT_EQ(game::NotesPlayed(), 1);
    EXPECT_EQ(NoteOns(TakeSent()), (std::vector<Bytes>{{note, 90}})) << "the song's own note";
    pt::PushMidiInput({platform::MidiInputEvent::NoteOn, 0, c.note, 64});
    Pass();
    EXPECT_EQ(game::NotesPlayed(), 2) << "the MIDI keyboard's own note";
  }
}

}  // namespace
