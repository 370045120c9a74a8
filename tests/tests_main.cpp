// The unit and engine tests' entry: each run in a home of its own.
#include <gtest/gtest.h>

#include "private_home.h"

int main(int argc, char** argv) {
  const test::PrivateHome home;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
