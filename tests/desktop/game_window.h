// The real game in a private X server, driven as a user drives it: start it,
// click the picture's buttons, hold keys, read the picture's pixels, end it
// with Escape and Yes, and read what its synthesizer recorded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desktop_kit.h"
#include "xvfb.h"

namespace test {

// The peak absolute sample of a 16-bit WAV between two times (seconds).
int PeakOfWav(const std::string& path, double from, double to);

class GameWindowTest : public ::testing::Test {
 protected:
  // The private X server's screen size.
  explicit GameWindowTest(int width = 1024, int height = 768) : display_{width, height} {}
  void TearDown() override;

  // Starts `tonquill ARGUMENT` in a fresh working folder (recording its
  // synthesizer) and waits for its window and its main screen. A test
  // stops where these fail: call them inside ASSERT_NO_FATAL_FAILURE. `environment`
  // adds variables ("XDG_DATA_HOME=..."); with `startUpMessage` a message
  // box comes first (a song that failed to load) and Return closes it.
  void StartGame(const std::string& argument, const std::vector<std::string>& environment = {},
                 bool startUpMessage = false);
  // The same with any arguments.
  void StartGameWithArguments(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                 bool startUpMessage = false);
  // Waits for a message box and presses `key` in it; false when none came.
  static bool AnswerMessage(const std::string& key);
  // Escape, then Yes: the game ends as a user ends it. True once it has.
  bool Quit();

  // Where the game's window lies now, for X and Y.
  void ReadWindowArea();
  // Screen coordinates of a point of the 640 x 480 picture.
  int X(int x) const;
  int Y(int y) const;
  // The pixels of a rectangle of the picture, to compare with another.
  std::string Crop(int x, int y, int w, int h) const;
  // The picture's colour at a point, 0xRRGGBB.
  long Pixel(int x, int y) const;
  // A lit key is amber: much more red than blue.
  bool KeyLit(int column) const;
  void ClickButton(int n) const;
  // Holds a key until the condition holds (the game saw it), then lets go.
  bool PlayKey(const std::string& key, const std::function<bool()>& heard) const;
  // Seconds of sound the recording holds.
  double WavSeconds() const;
  // Clicks FILE and waits for the open dialog (zenity); its window id, or
  // "" when none came.
  std::string OpenTheDialog() const;
  static bool DialogGone();
  // Types a path into the open dialog's location field and confirms it;
  // true once the dialog has closed.
  static bool ChooseInTheDialog(const std::string& dialog, const std::string& path);

  Xvfb display_;
  // The executable StartGame starts: the build folder's, unless a test sets
  // another (an installed copy).
  std::string program_ = TONQUILL_BINARY_DIR "/tonquill";
  std::unique_ptr<Game> game_;
  std::string folder_, wav_, window_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  double scale_ = 1;
};

}  // namespace test
