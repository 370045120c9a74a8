// Every test process lives in a home of its own: HOME, the XDG folders and
// TMPDIR point into a fresh temporary folder, removed when the process ends,
// so that nothing the tests start (the game, zenity, openbox, the sound
// server) reads or writes the home of the user who runs them, and nothing a
// test makes is left in the temporary folder. The fuzz targets and the
// benchmarks live in one too.
#pragma once

#include <string>

namespace test {

class PrivateHome {
 public:
  // Creates the folder (under TMPDIR, else /tmp) and sets the variables.
  // Homes left behind by processes that were killed are removed first.
  PrivateHome();
  ~PrivateHome();  // removes it, in the process that made it only
  PrivateHome(const PrivateHome&) = delete;
  PrivateHome& operator=(const PrivateHome&) = delete;

  // Empties the data, configuration, state and cache folders (those that
  // still lie in this home), so that a test never reads what an earlier
  // test of the same process wrote.
  void EmptyDataFolders() const;

 private:
  std::string path_;
  int owner_ = 0;
};

}  // namespace test
