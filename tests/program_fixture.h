// The whole program on the testing backend, started as `tonquill LINE` and
// run frame pass by frame pass: scripted mouse and keys in, MIDI messages
// and presented frames out.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "draw/surface.h"
#include "game/artwork_layout.h"
#include "platform/testing/testing.h"
#include "program_reset.h"
#include "smf_builder.h"

namespace test {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProgram(1); }
  void TearDown() override;

  // Starts the program with a command line and runs the start-up pass and
  // the main scene's first pass.
  void Start(const std::string& line = "-");
  // Starts it with a song file written from tracks.
  void StartWithSong(const std::vector<Track>& tracks, std::uint16_t division = 480);
  // One frame pass `ms` after the last (events waiting are handled first).
  void Pass(std::uint32_t ms = 16);
  void PassUntil(std::uint32_t time, std::uint32_t step = 16);
  // Passes up to `time` on a 10 ms grid counted from `start`, so a run's
  // frames fall on the same milliseconds however a case goes.
  void PassOnGridUntil(std::uint32_t start, std::uint32_t time);
  // Frame passes until `condition` holds, at most `frames` of them: false
  // when it never held, so that a halt that never comes fails the test
  // rather than hanging it.
  bool PassUntilHolds(const std::function<bool()>& condition, int frames = 2000);
  // A left click at a logical point: pointer there, button down for one
  // frame pass, then up for one.
  void Click(int x, int y);
  void ClickButton(int n);
  void PressMouse(int x, int y);
  void ReleaseMouse();
  // A key held down for `frames` frame passes, then released for one.
  // A key event now, taken at the next pass.
  void KeyDown(int virtualKey);
  void KeyUp(int virtualKey);
  void Tap(int virtualKey, int frames = 2);

  // Every message sent since the last take; NoteOns keeps the note-ons with
  // velocity on channel 1 (the computer keyboard's) as (note, velocity).
  std::vector<Bytes> TakeSent();
  static std::vector<Bytes> NoteOns(const std::vector<Bytes>& sent);

  // The last presented frame's pixel, and the artwork's pixel as the
  // artwork file holds it (worked out from the BMP, not from the program).
  static draw::Pixel Shown(int x, int y);
  static draw::Pixel Artwork(int x, int y);
  // True when the screen rectangle at (x, y) shows the artwork rectangle.
  static bool ShowsArtwork(int x, int y, const game::SourceRect& source);
  // The same on the back screen, before it is presented.
  static bool ShowsArtworkOnBackScreen(int x, int y, const game::SourceRect& source);

  // A fresh folder for songs and their ranking files, made on first use
  // and removed with everything in it when the test ends.
  const std::filesystem::path& SongFolder();

  std::string songPath_;

 private:
  std::filesystem::path songFolder_;
};

}  // namespace test
