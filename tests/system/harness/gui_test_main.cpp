// The entry point of every GUI test binary: GoogleTest with one private X
// server for all its tests.
#include <gtest/gtest.h>

#include "program_test.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new chronolist::gui_tests::XvfbEnvironment);
  return RUN_ALL_TESTS();
}
