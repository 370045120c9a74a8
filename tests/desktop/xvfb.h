// A private X server for a test: Xvfb on a free display number.
#pragma once

#include <string>

namespace test {

class Xvfb {
 public:
  // Starts Xvfb with a screen of the given size and sets DISPLAY for this
  // process and its children.
  explicit Xvfb(int width = 1024, int height = 768);
  ~Xvfb();
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  bool Running() const { return pid_ > 0 && !display_.empty(); }
  const std::string& Display() const { return display_; }
  // Saves a screenshot of the whole screen as PNG; true on success.
  bool Screenshot(const std::string& path) const;

 private:
  int pid_ = -1;
  std::string display_;
};

// The longest a program started by a test (the game, a message box, the
// file chooser, a window manager) may take to show itself: a machine busy
// with other work can take many times as long as an idle one.
inline constexpr int kStartUpSeconds = 60;

// Waits up to `seconds` for a top-level window whose title contains `title`;
// returns its id, or "" when none appeared.
std::string WaitForWindow(const std::string& title, int seconds);

// The game's message boxes are titled "メッセージ" on a Japanese system and
// "Message" elsewhere: waits for one in either language, or counts them.
std::string WaitForMessageBox(int seconds);
int MessageBoxCount();

// Runs a shell command and returns its standard output (trailing newline cut).
std::string RunCommand(const std::string& command);

}  // namespace test
