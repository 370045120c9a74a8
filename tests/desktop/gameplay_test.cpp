// The real game under Xvfb, started as the README starts it (full screen
// with the bundled Twinkle Twinkle), played with xdotool: DEMO sounds and
// moves the counters, stop silences it, TRAINING walks the lit key through
// the tune, GAME shows a verdict and a score.

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "game_window.h"

namespace {

using test::PeakOfWav;
using test::WaitUntil;

const std::string kSong = TONQUILL_SOURCE_DIR "/assets/songs/twinkle.mid";

class Gameplay : public test::GameWindowTest {
 protected:
  void SetUp() override { StartGame(kSong); }
};

TEST_F(Gameplay, DemoPlaysAndStopSilences) {
  const std::string counters = Crop(17, 140, 80, 20);
  ClickButton(4);  // DEMO
  ASSERT_TRUE(WaitUntil([&] { return Crop(17, 140, 80, 20) != counters; }, 20)) << "the counters move";
  const std::string later = Crop(17, 140, 80, 20);
  ASSERT_TRUE(WaitUntil([&] { return Crop(17, 140, 80, 20) != later; }, 20)) << "and keep moving";
  ClickButton(1);  // stop
  const std::string stopped = Crop(17, 140, 80, 20);
  // Two recorded seconds of the game standing still after the stop: the
  // time whose silence is measured below. The recording keeps the game's
  // own time, however busy the machine.
  const double stoppedAt = WavSeconds();
  ASSERT_TRUE(WaitUntil([&] { return WavSeconds() >= stoppedAt + 2.0; }, 30)) << "the recording goes on";
  EXPECT_EQ(Crop(17, 140, 80, 20), stopped) << "stopped: the counters stand";
  ASSERT_TRUE(Quit());
  // The recording runs until the game ends, more than two seconds after the
  // stop: its last second is after the notes' release.
  const double length = WavSeconds();
  ASSERT_GT(length, 2.0);
  EXPECT_GT(PeakOfWav(wav_, 0, length), 1000) << "the song was heard";
  EXPECT_LT(PeakOfWav(wav_, length - 1.0, length), 50) << "and the stop silenced it";
}

TEST_F(Gameplay, TrainingWalksTheLitKeyThroughTheTune) {
  ClickButton(3);  // TRAINING
  ASSERT_TRUE(WaitUntil([&] { return KeyLit(0); }, 10)) << "C is the first note";
  // C C G: the first C keeps C lit (the next note is C again), the second
  // moves the light to G.
  const std::string lyric = Crop(15, 224, 610, 16);
  ASSERT_TRUE(PlayKey("a", [&] { return Crop(15, 224, 610, 16) != lyric; }));
  ASSERT_TRUE(PlayKey("a", [&] { return KeyLit(4); }));
  EXPECT_FALSE(KeyLit(0));
  ASSERT_TRUE(PlayKey("g", [&] { return Crop(15, 224, 610, 16) != lyric && KeyLit(4); }));
}

TEST_F(Gameplay, GameShowsAVerdictAndAScore) {
  const std::string score = Crop(480, 120, 130, 40);
  const std::string timing = Crop(320, 120, 112, 40);
  // The tune comes in after one measure at 100 beats per minute: 2.4 s.
  // The player clicks GAME and plays C on the beat (it sounds a frame or
  // two after the key goes down, well inside the 70 ms either side). A
  // machine too busy to keep the beat gets another go.
  bool scored = false;
  for (int attempt = 0; attempt < 3 && !scored; ++attempt) {
    test::RunCommand("xdotool mousemove " + std::to_string(X(165)) + " " + std::to_string(Y(195)) +
                     " mousedown 1 mouseup 1 sleep 2.37 keydown a sleep 0.12 keyup a");
    ASSERT_TRUE(WaitUntil([&] { return Crop(320, 120, 112, 40) != timing; }, 10)) << "a verdict is shown";
    scored = WaitUntil([&] { return Crop(480, 120, 130, 40) != score; }, 2);
    if (!scored) ClickButton(1);
  }
  EXPECT_TRUE(scored) << "a Good press gives a score other than 000.0";
  display_.Screenshot(TONQUILL_BINARY_DIR "/game_in_progress.png");
}

}  // namespace

// The keys the help names reach the game through the desktop: the switches
// and the view are kept in the settings file, a button's key starts its run.
// (F10 never reaches a game: it is the system's menu key.)
TEST_F(Gameplay, TheSwitchesViewAndButtonKeysReachTheGame) {
  const std::string settings = std::string(std::getenv("XDG_CONFIG_HOME")) + "/tonquill/settings.conf";
  const auto kept = [&](const std::string& line) {
    std::ifstream file(settings);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return text.find(line + "\n") != std::string::npos;
  };
  EXPECT_TRUE(PlayKey("F12", [&] { return kept("count-in on"); }));
  EXPECT_TRUE(PlayKey("F11", [&] { return kept("metronome on"); }));
  EXPECT_TRUE(PlayKey("Tab", [&] { return kept("view ahead"); })) << "a new player starts with the names";
  const std::string counters = Crop(17, 140, 80, 20);
  EXPECT_TRUE(PlayKey("F2", [&] { return Crop(17, 140, 80, 20) != counters; })) << "F2 starts DEMO";
}
