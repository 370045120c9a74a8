// The desktop tests' entry: the test program shows message boxes the way
// the game does, by starting itself again with the helper option. Each
// run lives in a home of its own, each test from empty data folders.
#include <gtest/gtest.h>

#include "../fresh_data_folders.h"
#include "../private_home.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  if (int exitCode = 0; platform::ServeHelperCommandLine(argc, argv, exitCode)) return exitCode;
  const test::PrivateHome home;
  ::testing::InitGoogleTest(&argc, argv);
  test::StartEachTestWithEmptyDataFolders(home);
  return RUN_ALL_TESTS();
}
