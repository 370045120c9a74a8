// The real game under Xvfb, started as the README starts it (full screen
// with the bundled Twinkle Twinkle), played with xdotool: DEMO sounds and
// moves the counters, stop silences it, TRAINING walks the lit key through
// the tune, GAME shows a verdict and a score.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "xvfb.h"

namespace {

const std::string kTonquill = TONQUILL_BINARY_DIR "/tonquill";
const std::string kSong = TONQUILL_SOURCE_DIR "/assets/songs/twinkle.mid";

// Waits for a condition, checking every 50 ms, at most `seconds`.
bool WaitFor(const std::function<bool()>& condition, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    usleep(50 * 1000);
  }
  return condition();
}

// The peak absolute sample of a 16-bit WAV between two times (seconds).
int PeakOfWav(const std::string& path, double from, double to) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 44) return -1;
  auto le16 = [&](std::size_t at) { return static_cast<int>(static_cast<unsigned char>(bytes[at]) | (bytes[at + 1] << 8)); };
  const int channels = le16(22);
  const int rate = le16(24) | (le16(26) << 16);
  // Find the data chunk.
  std::size_t p = 12;
  while (p + 8 <= bytes.size() && std::string(&bytes[p], 4) != "data")
    p += 8 + static_cast<std::size_t>(le16(p + 4) | (le16(p + 6) << 16));
  p += 8;
  const std::size_t frameBytes = static_cast<std::size_t>(2 * channels);
  const std::size_t first = p + static_cast<std::size_t>(from * rate) * frameBytes;
  const std::size_t last = std::min(bytes.size(), p + static_cast<std::size_t>(to * rate) * frameBytes);
  int peak = 0;
  for (std::size_t at = first; at + 1 < last; at += 2) peak = std::max(peak, std::abs(static_cast<int16_t>(le16(at))));
  return peak;
}

class Gameplay : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(display_.Running());
    folder_ = test::RunCommand("mktemp -d /tmp/tonquill-gameplay-XXXXXX");
    wav_ = folder_ + "/game.wav";
    status_ = folder_ + "/status";
    test::RunCommand("(cd " + folder_ + " && TONQUILL_INSTANCE_DIR=" + folder_ + " TONQUILL_SYNTH_WAV=" + wav_ + " " +
                     kTonquill + " " + kSong + " >/dev/null 2>&1; echo $? > " + status_ + ") >/dev/null 2>&1 &");
    window_ = test::WaitForWindow("Tonquill", 20);
    ASSERT_FALSE(window_.empty());
    const std::string geometry = test::RunCommand(
        "xwininfo -id " + window_ +
        " | awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} /Width:/{w=$2} /Height:/{h=$2} "
        "END{print x\" \"y\" \"w\" \"h}'");
    std::sscanf(geometry.c_str(), "%d %d %d %d", &left_, &top_, &width_, &height_);
    scale_ = std::min(width_ / 640.0, height_ / 480.0);
    // The title panel shows the song: the main screen is up.
    ASSERT_TRUE(WaitFor([this] { return Crop(100, 96, 60, 14) != Crop(400, 96, 60, 14); }, 20));
  }

  void TearDown() override {
    Quit();
    test::RunCommand("rm -rf " + folder_);
  }

  // Escape, then Yes: the game ends as a user ends it. True once it has.
  bool Quit() {
    if (window_.empty()) return true;
    test::RunCommand("xdotool key --window " + window_ + " Escape");
    const bool ended = WaitFor([this] {
      const std::string box = test::WaitForWindow("メッセージ", 1);
      if (!box.empty()) test::RunCommand("xdotool windowfocus " + box + " key Return 2>/dev/null");
      return !test::RunCommand("cat " + status_ + " 2>/dev/null").empty();
    }, 30);
    window_.clear();
    return ended;
  }

  // Screen coordinates of a point of the 640 x 480 picture.
  int X(int x) const { return left_ + static_cast<int>((width_ - 640 * scale_) / 2 + (x + 0.5) * scale_); }
  int Y(int y) const { return top_ + static_cast<int>((height_ - 480 * scale_) / 2 + (y + 0.5) * scale_); }

  // The pixels of a rectangle of the picture, as text.
  std::string Crop(int x, int y, int w, int h) const {
    const std::string geometry = std::to_string(static_cast<int>(w * scale_)) + "x" +
                                 std::to_string(static_cast<int>(h * scale_)) + "+" + std::to_string(X(x)) + "+" +
                                 std::to_string(Y(y));
    return test::RunCommand("import -window root -crop " + geometry + " txt:- 2>/dev/null | tail -n +2 | md5sum");
  }
  // The picture's colour at a point, 0xRRGGBB.
  long Pixel(int x, int y) const {
    const std::string line = test::RunCommand("import -window root -crop 1x1+" + std::to_string(X(x)) + "+" +
                                              std::to_string(Y(y)) + " txt:- 2>/dev/null | tail -1");
    const std::size_t hash = line.find('#');
    return hash == std::string::npos ? -1 : std::stol(line.substr(hash + 1, 6), nullptr, 16);
  }
  // A lit key is amber: much more red than blue.
  bool KeyLit(int column) const {
    const long p = Pixel(8 + 52 * column + 26, 440);
    return ((p >> 16) & 0xFF) > 200 && (p & 0xFF) < 150;
  }
  void ClickButton(int n) const {
    test::RunCommand("xdotool mousemove " + std::to_string(X(41 + 62 * n)) + " " + std::to_string(Y(195)) + " click 1");
  }
  // Holds a key until the condition holds (the game saw it), then lets go.
  bool PlayKey(const std::string& key, const std::function<bool()>& heard) const {
    test::RunCommand("xdotool keydown --window " + window_ + " " + key);
    const bool ok = WaitFor(heard, 10);
    test::RunCommand("xdotool keyup --window " + window_ + " " + key);
    return ok;
  }
  double WavSeconds() const {
    std::ifstream in(wav_, std::ios::binary | std::ios::ate);
    return in ? (static_cast<double>(in.tellg()) - 44) / (44100.0 * 4) : 0;
  }

  test::Xvfb display_{1024, 768};
  std::string folder_, wav_, status_, window_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  double scale_ = 1;
};

TEST_F(Gameplay, DemoPlaysAndStopSilences) {
  const std::string counters = Crop(17, 140, 80, 20);
  ClickButton(4);  // DEMO
  ASSERT_TRUE(WaitFor([&] { return Crop(17, 140, 80, 20) != counters; }, 20)) << "the counters move";
  const std::string later = Crop(17, 140, 80, 20);
  ASSERT_TRUE(WaitFor([&] { return Crop(17, 140, 80, 20) != later; }, 20)) << "and keep moving";
  ClickButton(1);  // stop
  const auto stoppedAt = std::chrono::steady_clock::now();
  const std::string stopped = Crop(17, 140, 80, 20);
  // Two seconds of the game standing still after the stop: the time whose
  // silence is measured below.
  usleep(2000 * 1000);
  EXPECT_EQ(Crop(17, 140, 80, 20), stopped) << "stopped: the counters stand";
  ASSERT_TRUE(Quit());
  // The recording runs until the game ends; the last second before the
  // stop's two seconds were over is after the notes' release.
  const double afterStop = std::chrono::duration<double>(std::chrono::steady_clock::now() - stoppedAt).count();
  const double length = WavSeconds();
  ASSERT_GT(length, afterStop);
  EXPECT_GT(PeakOfWav(wav_, 0, length - afterStop), 1000) << "the song was heard";
  EXPECT_LT(PeakOfWav(wav_, length - afterStop + 1.0, length - afterStop + 2.0), 50) << "and the stop silenced it";
}

TEST_F(Gameplay, TrainingWalksTheLitKeyThroughTheTune) {
  ClickButton(3);  // TRAINING
  ASSERT_TRUE(WaitFor([&] { return KeyLit(0); }, 10)) << "C is the first note";
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
                     " click 1 sleep 2.37 keydown a sleep 0.12 keyup a");
    ASSERT_TRUE(WaitFor([&] { return Crop(320, 120, 112, 40) != timing; }, 10)) << "a verdict is shown";
    scored = WaitFor([&] { return Crop(480, 120, 130, 40) != score; }, 2);
    if (!scored) ClickButton(1);
  }
  EXPECT_TRUE(scored) << "a Good press gives a score other than 000.0";
  display_.Screenshot(TONQUILL_BINARY_DIR "/game_in_progress.png");
}

}  // namespace
