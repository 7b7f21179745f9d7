#include "widgets/flow_layout.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

struct FlowCase {
  const char* name;
  std::vector<QSizeF> sizes;
  float width;
  std::vector<QPointF> positions;
};

TEST(FlowLayout, PlacesRowsAsTheReflowRuleSays) {
  const QSizeF b(50, 25);
  const FlowCase cases[] = {
      {"four defaults in one row", {b, b, b, b}, 250, {{0, 0}, {52, 0}, {104, 0}, {156, 0}}},
      {"a fifth wraps", {b, b, b, b, b}, 250, {{0, 0}, {52, 0}, {104, 0}, {156, 0}, {0, 27}}},
      {"equality fits", {b, b, b, b}, 206, {{0, 0}, {52, 0}, {104, 0}, {156, 0}}},
      {"one short", {b, b, b, b}, 205, {{0, 0}, {52, 0}, {104, 0}, {0, 27}}},
      {"wider than the area", {{300, 25}, {300, 25}}, 250, {{0, 0}, {0, 27}}},
      {"row height from the tallest",
       {{50, 10}, {50, 40}, {50, 25}},
       104,
       {{0, 0}, {52, 0}, {0, 42}}},
      {"no later narrow button jumps the queue",
       {{100, 20}, {100, 20}, {10, 20}},
       150,
       {{0, 0}, {0, 22}, {102, 22}}},
      {"empty", {}, 250, {}},
  };
  for (const FlowCase& c : cases) {
    EXPECT_EQ(TFlowLayout::Flow(c.sizes, c.width, 2, 2), c.positions) << c.name;
  }
}

TEST(FlowLayout, RowsAt27StepsFillA106HighArea) {
  const std::vector<QSizeF> sizes(20, QSizeF(50, 25));
  const auto positions = TFlowLayout::Flow(sizes, 250, 2, 2);
  EXPECT_EQ(positions[4], QPointF(0, 27));
  EXPECT_EQ(positions[8], QPointF(0, 54));
  EXPECT_EQ(positions[12], QPointF(0, 81));
  EXPECT_EQ(positions[16], QPointF(0, 108));  // below a 106-high area
}

}  // namespace
}  // namespace kavo
