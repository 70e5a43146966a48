// Test entry for the engine's tests: a child process runs its body (see
// support/common/child_process.h), anything else runs GoogleTest.
#include <gtest/gtest.h>

#include "support/common/child_process.h"

int main(int argc, char **argv) {
  testing_support::RunChildIfAsked(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
