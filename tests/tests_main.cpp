// The unit and engine tests' entry: each run in a home of its own, each
// test from empty data folders.
#include <gtest/gtest.h>

#include "fresh_data_folders.h"
#include "private_home.h"

int main(int argc, char** argv) {
  const test::PrivateHome home;
  ::testing::InitGoogleTest(&argc, argv);
  test::StartEachTestWithEmptyDataFolders(home);
  return RUN_ALL_TESTS();
}
