// One bar per settings folder: a later start for the same folder reaches the running bar over
// the local channel; other folders are left alone.

#include "ui/single_instance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "test_support.h"

namespace kavo {
namespace {

TEST(SingleInstance, ALaterStartForTheSameFolderAsksTheRunningBarToComeForward) {
  test::TempDir home, other;
  SingleInstance running(QString::fromStdString(home.path()));
  ASSERT_TRUE(running.IsFirst());
  int asked = 0;
  QObject::connect(&running, &SingleInstance::ComeForwardAsked, [&] { ++asked; });

  SingleInstance elsewhere(QString::fromStdString(other.path()));
  EXPECT_TRUE(elsewhere.IsFirst());

  for (int start = 1; start <= 2; ++start) {
    // The same folder through another spelling.
    SingleInstance later(QString::fromStdString(home.path() + "/./"));
    ASSERT_FALSE(later.IsFirst());
    ASSERT_TRUE(later.AskRunningBarToComeForward());
    QElapsedTimer waited;
    waited.start();
    while (asked < start && waited.elapsed() < 5000) QCoreApplication::processEvents();
    EXPECT_EQ(asked, start);
  }
}

}  // namespace
}  // namespace kavo
