// The X11 backend's rules that need no display.

#include "platform/x11/x11_rules.h"

#include <gtest/gtest.h>

namespace kavo::platform::x11 {
namespace {

TEST(X11Rules, TitlesEndAtTheirFirstNulAndAfter259Units) {
  EXPECT_EQ(BarTitle(u"Editor"), u"Editor");
  EXPECT_EQ(BarTitle(std::u16string(u"Editor\0hidden", 13)), u"Editor");
  EXPECT_EQ(BarTitle(std::u16string(300, u'a')), std::u16string(259, u'a'));
  EXPECT_EQ(BarTitle(u""), u"");
}

TEST(X11Rules, TheWheelsTurnsAreNoPresses) {
  for (int button : {1, 2, 3, 8, 9}) EXPECT_TRUE(IsPointerPress(button)) << button;
  for (int button : {4, 5, 6, 7}) EXPECT_FALSE(IsPointerPress(button)) << button;
}

}  // namespace
}  // namespace kavo::platform::x11
