// Every test process lives in a home of its own: HOME and the XDG folders
// point into a fresh temporary folder, removed when the process ends, so
// that nothing the tests start (the game, zenity, openbox, the sound
// server) reads or writes the home of the user who runs them.
#pragma once

#include <string>

namespace test {

class PrivateHome {
 public:
  PrivateHome();   // creates the folder (under TMPDIR, else /tmp) and sets the variables
  ~PrivateHome();  // removes it, in the process that made it only
  PrivateHome(const PrivateHome&) = delete;
  PrivateHome& operator=(const PrivateHome&) = delete;

 private:
  std::string path_;
  int owner_ = 0;
};

}  // namespace test
