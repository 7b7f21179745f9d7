// The backends' rules that need no desktop.

#include "platform/common/window_title.h"
#include "platform/x11/x11_rules.h"

#include <gtest/gtest.h>

namespace kavo::platform {
namespace {

TEST(PlatformRules, TitlesEndAtTheirFirstNulAndAfter259Units) {
  EXPECT_EQ(BarTitle(u"Editor"), u"Editor");
  EXPECT_EQ(BarTitle(std::u16string(u"Editor\0hidden", 13)), u"Editor");
  EXPECT_EQ(BarTitle(std::u16string(300, u'a')), std::u16string(259, u'a'));
  EXPECT_EQ(BarTitle(u""), u"");
}

TEST(PlatformRules, TheWheelsTurnsAreNoPresses) {
  for (int button : {1, 2, 3, 8, 9}) EXPECT_TRUE(x11::IsPointerPress(button)) << button;
  for (int button : {4, 5, 6, 7}) EXPECT_FALSE(x11::IsPointerPress(button)) << button;
}

}  // namespace
}  // namespace kavo::platform
