#include <gtest/gtest.h>
#include <stdlib.h>

int main(int argc, char** argv) {
#ifndef _WIN32
  // The system's error texts are checked to the character; they are asked for in English.
  ::setenv("LC_ALL", "C.UTF-8", 1);
  ::setenv("LANGUAGE", "C", 1);
#endif
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
