// The desktop tests' entry: the test program shows message boxes the way
// the game does, by starting itself again with the helper option.
#include <gtest/gtest.h>

#include "platform/platform.h"

int main(int argc, char** argv) {
  if (int exitCode = 0; platform::ServeHelperCommandLine(argc, argv, exitCode)) return exitCode;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
