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

TEST(Trace, HalfSpeedTakesTwiceTheTime) {
  const Bytes song = test::SmfFile({Track().Event(0, {0x90, 0x3C, 0x64}).Event(480, {0x80, 0x3C, 0}).End(480)});
  // The position t ms in is 480 x t / 1000: tick 480 is passed at 1008
  // (483; 992 gives 476), the end at 960 at 2016 (967).
  EXPECT_EQ(Trace(song, "--speed 50"),
            "16 0 90 3c 64\n"
            "1008 0 80 3c 00\n"
            "2016 0 fc\n");
  EXPECT_EQ(Trace(song, "--speed 100"), Trace(song));
}

// Two measures of 4/4 (2000 ms each) with a note in the second. The loop
// over measure 2 starts there at the click (time 0, tick 1920): the note
// comes on the first frame, and the loop's end, 3840, is reached 2000 ms
// later, where it jumps back, ending the note (twice, as a stop does). The
// next jumps come 2000 ms apart, and the trace stops after the third pass.
TEST(Trace, LoopJumpsAndStopsAfterItsPasses) {
  const Bytes song = test::SmfFile(
      {Track().TimeSignature(0, 4, 2).End(3840), Track().Event(1920, {0x90, 0x3C, 0x64}).Event(1920, {0x80, 0x3C, 0}).End(0)});
  const std::string path = test::WriteTempFile(song, "loop.mid");
  int status = -1;
  const std::string out = test::CommandOutput(std::string(TONQUILL_TRACE) + " --loop 2-2 --loop-passes 3 " + path, &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("\n16 0 90 3c 64\n"
                     "2000 0 90 3c 00\n"
                     "2000 0 90 3c 00\n"
                     "# loop-jump 2000\n"
                     "2016 0 90 3c 64\n"
                     "4000 0 90 3c 00\n"
                     "4000 0 90 3c 00\n"
                     "# loop-jump 4000\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("# loop-jump 6000\n"), std::string::npos);
  EXPECT_EQ(out.find("# loop-jump 8000"), std::string::npos);
  EXPECT_EQ(out.find(" fc"), std::string::npos) << "stopped by the trace, not by the song's end";
}

TEST(Trace, RefusesOutOfRangeSpeedAndLoop) {
  // Its third measure is a tick long: no passage can be made of it.
  const std::string song = test::WriteTempFile(test::SmfFile({Track().TimeSignature(0, 4, 2).End(3841)}), "two.mid");
  for (const char* options : {"--speed 49", "--speed 101", "--speed fast", "--loop 0-2", "--loop 3-2", "--loop 2",
                              "--loop 1-3", "--loop 1-x", "--loop-passes 0", "--loop 1-2 --loop-passes 1001"}) {
    SCOPED_TRACE(options);
    int status = 0;
    const std::string out = test::CommandOutput(std::string(TONQUILL_TRACE) + " " + options + " " + song + " 2>&1", &status);
    EXPECT_NE(status, 0);
    EXPECT_TRUE(out.find("usage") != std::string::npos || out.find("the song has 2 measures") != std::string::npos)
        << out;
  }
}

TEST(Trace, RefusesWhatIsNotASong) {
  const std::string trace = TONQUILL_TRACE;
  EXPECT_NE(std::system((trace + " /nonexistent.mid 2>/dev/null").c_str()), 0);
  const std::string junk = test::WriteTempFile(Bytes(100, 'x'), "junk.mid");
  EXPECT_NE(std::system((trace + " " + junk + " 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((trace + " --frame-ms 0 " + junk + " 2>/dev/null").c_str()), 0);
}

}  // namespace
