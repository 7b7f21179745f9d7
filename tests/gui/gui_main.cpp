#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>

// The windows are tested without a display, on Qt's offscreen platform, in English.
int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("LC_ALL", "C.UTF-8", 1);
  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
