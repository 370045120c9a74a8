// The real game under Xvfb playing through a private PulseAudio server (a
// null sink) whose stream is made to hold 100 ms: a game of one note ends
// with a line in the song's history that records the output latency the
// game read from the server and judged with.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "game_window.h"

namespace {

namespace fs = std::filesystem;

// Tempo 120, then C4 half a second in, held for half a second.
const unsigned char kOneNoteSong[] = {
    'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xE0,
    'M', 'T', 'r', 'k', 0, 0, 0, 11, 0, 0xFF, 0x51, 3, 0x07, 0xA1, 0x20, 0, 0xFF, 0x2F, 0,
    'M', 'T', 'r', 'k', 0, 0, 0, 14, 0x83, 0x60, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0, 0, 0xFF, 0x2F, 0};

class HeardLatency : public test::GameWindowTest {};

// The private server, stopped however the test ends.
struct NullSink {
  explicit NullSink(std::string serverFolder) : folder(std::move(serverFolder)) { started = Run("start") == 0; }
  ~NullSink() { Run("stop"); }
  int Run(const std::string& action) const {
    return std::system(("'" TONQUILL_SOURCE_DIR "/tools/pulse-null-sink.sh' " + action + " '" + folder + "'").c_str());
  }
  std::string folder;
  bool started = false;
};

TEST_F(HeardLatency, AGameIsJudgedWithTheLatencyTheServerReports) {
  if (std::system("command -v pulseaudio >/dev/null && command -v pactl >/dev/null") != 0)
    GTEST_SKIP() << "needs pulseaudio and pulseaudio-utils (tools/run-tests.sh installs them)";
  const test::TemporaryFolder folder;
  const std::string server = folder.Path() + "/server", data = folder.Path() + "/data", song = folder.Path() + "/one.mid";
  const NullSink sink(server);
  ASSERT_TRUE(sink.started);
  std::ofstream(song, std::ios::binary).write(reinterpret_cast<const char*>(kOneNoteSong), sizeof kOneNoteSong);
  StartGame(song, {"TONQUILL_SYNTH_WAV=", "PULSE_LATENCY_MSEC=100", "PULSE_SERVER=unix:" + server + "/native",
                   "PULSE_COOKIE=" + server + "/cookie", "XDG_DATA_HOME=" + data});
  ClickButton(2);  // GAME: it halts at the note until C is played
  ASSERT_TRUE(test::WaitUntil([&] { return KeyLit(0); }, 10)) << "C is the note to play";
  const std::string history = data + "/tonquill/history";
  const auto historyLine = [&] {
    std::string line;
    if (fs::is_directory(history))
      for (const auto& entry : fs::directory_iterator(history)) std::getline(std::ifstream(entry.path()), line);
    return line;
  };
  ASSERT_TRUE(PlayKey("a", [&] { return !KeyLit(0); }));
  ASSERT_TRUE(test::WaitUntil([&] { return !historyLine().empty(); }, 20)) << "the game ends in the history";
  const std::string line = historyLine();
  std::istringstream words(line.substr(line.find(" output ") + 8));
  int output = -1;
  words >> output;
  // The stream asked for 100 ms: the server reports at least half of it
  // queued (the sink's delay on top), and never seconds.
  EXPECT_GE(output, 50) << line;
  EXPECT_LT(output, 1100) << line;
  EXPECT_NE(line.find(" offset 0"), std::string::npos) << "no offset measured: " << line;
  ASSERT_TRUE(Quit());
}

}  // namespace
