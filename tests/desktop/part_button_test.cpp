// The PART button in the real game under Xvfb: on a song of one track it
// cycles through the song's channels (the right button goes back), the
// lyric bar showing the chosen part while stopped, and TRAINING then halts
// at the chosen part's notes only.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game_window.h"

namespace {

using test::WaitUntil;
using Bytes = std::vector<unsigned char>;

// A format-0 song at 120 beats per minute: C D E F on channel 2 (Violin)
// at ticks 480, 840, 1320 and 1560, and G A on channel 6 (no program) at
// ticks 1080 and 1680.
Bytes OneTrackSong() {
  const Bytes events = {
      0x00, 0xC1, 40,                                            // channel 2: Violin
      0x83, 0x60, 0x91, 60, 90, 0x81, 0x70, 0x81, 60, 0,          // C
      0x78, 0x91, 62, 90, 0x78, 0x81, 62, 0,                      // D
      0x78, 0x95, 67, 90, 0x78, 0x85, 67, 0,                      // G on channel 6
      0x78, 0x91, 64, 90, 0x78, 0x81, 64, 0,                      // E
      0x78, 0x91, 65, 90, 0x78, 0x81, 65, 0,                      // F
      0x78, 0x95, 69, 90, 0x83, 0x60, 0x85, 69, 0,                // A on channel 6
      0x00, 0xFF, 0x2F, 0x00};
  Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0,
                static_cast<unsigned char>(events.size())};
  for (const unsigned char b : events) file.push_back(b);
  return file;
}

class PartButton : public test::GameWindowTest {};

TEST_F(PartButton, CyclesTheChannelsOfAOneTrackSongAndTrainingFollowsTheChosenOne) {
  test::TemporaryFolder songs;
  const std::string song = songs.Path() + "/one_track.mid";
  const Bytes bytes = OneTrackSong();
  std::ofstream(song, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  // A player who has seen the first start's hint: the bar shows the part.
  const std::string config = std::string(std::getenv("XDG_CONFIG_HOME")) + "/tonquill";
  std::filesystem::create_directories(config);
  std::ofstream(config + "/settings.conf") << "notes-ahead-hint-shown yes\n";
  ASSERT_NO_FATAL_FAILURE(StartGame(song));

  const auto lyricBar = [this] { return Crop(15, 224, 610, 16); };
  const auto face = [this] { return Crop(323, 183, 56, 24); };
  const std::string firstLabel = lyricBar();
  const std::string firstFace = face();
  // Two parts: channel 2, then channel 6; a third click is back on the first.
  std::vector<std::string> names, faces;
  for (int click = 0; click < 3; ++click) {
    const std::string before = lyricBar();
    // A quick second click on the same spot is a double click, whose second
    // press acts as none: a click on the logo first keeps the clicks apart.
    if (click > 0) test::RunCommand("xdotool mousemove " + std::to_string(X(320)) + " " + std::to_string(Y(40)) + " click 1");
    ClickButton(5);
    ASSERT_TRUE(WaitUntil([&] { return lyricBar() != before; }, 10)) << "click " << click;
    names.push_back(lyricBar());
    faces.push_back(face());
    if (click == 0) display_.Screenshot(TONQUILL_BINARY_DIR "/part_name.png");
  }
  EXPECT_NE(faces[0], firstFace) << "the face shows the second part's number";
  EXPECT_NE(names[0], names[1]);
  EXPECT_EQ(names[1], firstLabel) << "after the last part, the first again";
  EXPECT_EQ(names[2], names[0]);
  EXPECT_EQ(faces[2], faces[0]);
  EXPECT_NE(faces[1], faces[0]);
  // The right button goes back to the first part; its label stays.
  test::RunCommand("xdotool mousemove " + std::to_string(X(351)) + " " + std::to_string(Y(195)) + " click 3");
  ASSERT_TRUE(WaitUntil([&] { return lyricBar() == firstLabel && face() == firstFace; }, 10));
  test::RunCommand("xdotool mousemove " + std::to_string(X(320)) + " " + std::to_string(Y(40)) + " click 1");
  ClickButton(5);
  ASSERT_TRUE(WaitUntil([&] { return lyricBar() == names[0]; }, 10));

  // Channel 6 chosen: TRAINING lights G and halts there (at tick 1080,
  // after C and D of channel 2 played), then A after a key.
  ClickButton(3);
  ASSERT_TRUE(WaitUntil([&] { return KeyLit(4); }, 10)) << "G is the first note of channel 6";
  EXPECT_FALSE(KeyLit(0)) << "C of channel 2 is not the guide";
  const auto counters = [this] { return Crop(17, 140, 80, 20); };
  const double started = WavSeconds();
  ASSERT_TRUE(WaitUntil([&] { return WavSeconds() >= started + 3.0; }, 30));
  const std::string halted = counters();
  const double haltSeen = WavSeconds();
  ASSERT_TRUE(WaitUntil([&] { return WavSeconds() >= haltSeen + 1.0; }, 30));
  EXPECT_EQ(counters(), halted) << "halted at G";
  EXPECT_TRUE(PlayKey("a", [&] { return KeyLit(5); })) << "any key plays G, then A is lit";
  ASSERT_TRUE(Quit());
}

}  // namespace
