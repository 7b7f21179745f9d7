#include <gtest/gtest.h>
#include <stdlib.h>

// The system's error texts are checked to the character; they are asked for in English.
int main(int argc, char** argv) {
  ::setenv("LC_ALL", "C.UTF-8", 1);
  ::setenv("LANGUAGE", "C", 1);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
