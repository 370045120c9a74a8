// tonquill-trace's output and options against times worked out by hand
// (what the engine sends is the playback tests' subject). At 120 bpm and
// division 480 the position t ms after a re-anchoring is 480 x t / 500,
// truncated; an event leaves on the first frame whose position has passed
// its tick, and the end of track 0 stops the song with the note-offs of
// what is still sounding (each note once more than it was started), then
// FCh.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "smf_builder.h"

namespace {

using test::Bytes;
using test::Track;

// The trace's message lines for a song built by the test ('#' comments
// left out).
std::string Trace(const Bytes& song, const std::string& options = "") {
  const std::string path = test::WriteTempFile(song, "trace.mid");
  const std::string command = std::string(TONQUILL_TRACE) + " " + options + " " + path;
  int status = -1;
  std::istringstream lines(test::CommandOutput(command, &status));
  EXPECT_EQ(status, 0);
  std::string out;
  for (std::string line; std::getline(lines, line);)
    if (line.empty() || line[0] != '#') out += line + "\n";
  return out;
}

TEST(Trace, OneNoteAtTheDefaultTempo) {
  const Bytes song = test::SmfFile({Track().Event(0, {0x90, 0x3C, 0x64}).Event(480, {0x80, 0x3C, 0}).End(480)});
  // 16 ms frames: tick 0 leaves at 16 (position 15), tick 480 at 512 (491;
  // 496 gives only 476), the end at 960 at 1008 (967).
  EXPECT_EQ(Trace(song),
            "16 0 90 3c 64\n"
            "512 0 80 3c 00\n"
            "1008 0 fc\n");
  // 10 ms frames: 10 (9), 510 (489), 1010 (969).
  EXPECT_EQ(Trace(song, "--frame-ms 10"),
            "10 0 90 3c 64\n"
            "510 0 80 3c 00\n"
            "1010 0 fc\n");
}

TEST(Trace, PortPrefixAndTheStopOnEveryPort) {
  const Bytes song = test::SmfFile({Track().End(480),
                                    Track()
                                        .Event(0, {0xFF, 0x21, 0x01, 0x01})
                                        .Event(0, {0x93, 0x3C, 0x64})
                                        .Event(0, {0x93, 0x3C, 0x64})
                                        .End(0),
                                    Track().Event(0, {0x90, 0x40, 0x64}).End(0)});
  // Everything at tick 0 leaves at 16 in track order; the end at 480 is
  // passed at 512 (491). Port 0's note goes off twice, port 1's note,
  // started twice, three times; FCh goes to port 0.
  EXPECT_EQ(Trace(song, "--ports 2"),
            "16 1 93 3c 64\n"
            "16 1 93 3c 64\n"
            "16 0 90 40 64\n"
            "512 0 90 40 00\n"
            "512 0 90 40 00\n"
            "512 1 93 3c 00\n"
            "512 1 93 3c 00\n"
            "512 1 93 3c 00\n"
            "512 0 fc\n");
}

TEST(Trace, RefusesWhatIsNotASong) {
  const std::string trace = TONQUILL_TRACE;
  EXPECT_NE(std::system((trace + " /nonexistent.mid 2>/dev/null").c_str()), 0);
  const std::string junk = test::WriteTempFile(Bytes(100, 'x'), "junk.mid");
  EXPECT_NE(std::system((trace + " " + junk + " 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((trace + " --frame-ms 0 " + junk + " 2>/dev/null").c_str()), 0);
}

}  // namespace
