// Each test starts from empty data folders: the history, the kept rankings
// and the settings an earlier test of the same process wrote are gone.
#pragma once

#include <gtest/gtest.h>

#include "private_home.h"

namespace test {

class FreshDataFolders : public ::testing::EmptyTestEventListener {
 public:
  explicit FreshDataFolders(const PrivateHome& home) : home_(home) {}
  void OnTestStart(const ::testing::TestInfo&) override { home_.EmptyDataFolders(); }

 private:
  const PrivateHome& home_;
};

// Registers the listener with the test program (which then owns it).
inline void StartEachTestWithEmptyDataFolders(const PrivateHome& home) {
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshDataFolders(home));
}

}  // namespace test
