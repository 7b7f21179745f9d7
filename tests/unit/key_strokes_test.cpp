// What a binding line sends: which keys, and whether they are tapped or held.

#include "bindings/key_strokes.h"

#include <gtest/gtest.h>

#include "bindings/comma_rule.h"
#include "test_support.h"

namespace kavo {
namespace {

using platform::KeyStroke;

KeyStroke Vk(int code) {
  return {KeyStroke::Kind::VirtualKey, code, false};
}
KeyStroke Char(char16_t c) {
  return {KeyStroke::Kind::Character, c, false};
}

TEST(BindingForFields, LinesOfUpToFourFieldsTapAndAFifthFieldHoldsAsTheTooltipSays) {
  struct Case {
    std::u16string_view line;
    std::vector<KeyStroke> keys;
    HoldMode mode;
    std::u16string_view shown;  // in the button's tooltip
  };
  const Case cases[] = {
      {u"Undo,Ctrl,Z", {Vk(17), Vk('Z')}, HoldMode::Tap, u"Ctrl+Z"},
      {u"Undo, Ctrl, Z", {Vk(17), Vk('Z')}, HoldMode::Tap, u"Ctrl+Z"},  // not Ctrl+Space
      {u"Redo, Ctrl, Shift, Z", {Vk(17), Vk(16), Vk('Z')}, HoldMode::Tap, u"Ctrl+Shift+Z"},
      {u"Pick,Shift,Ctrl,Z", {}, HoldMode::Tap, u""},  // four fields must start with Ctrl
      {u"Quit,Esc", {Vk(0x1B)}, HoldMode::Tap, u"Esc"},
      {u"Next,Tab", {Vk(0x09)}, HoldMode::Tap, u"Tab"},
      {u"Comma,\",\"", {Char(u',')}, HoldMode::Tap, u","},
      {u"Gap,Ctrl,,Z", {}, HoldMode::Tap, u""},  // an empty key: nothing
      {u"Caption", {}, HoldMode::Tap, u""},
      {u"Pan,Space,,,latch", {Vk(0x20)}, HoldMode::Latch, u"Space (held)"},
      {u"Pick,Ctrl,,, Toggle ", {Vk(17)}, HoldMode::Toggle, u"Ctrl (held)"},
      {u"Brush,Shift,Ctrl,Z,LATCH",
       {Vk(16), Vk(17), Vk('Z')},
       HoldMode::Latch,
       u"Shift+Ctrl+Z (held)"},
      {u"Nothing,,,,latch", {}, HoldMode::Latch, u""},
      {u"Unknown,Ctrl,Z,,hold", {}, HoldMode::Tap, u""},  // another fifth field stays inert
      {u"Tap,Ctrl,Z,,tap", {}, HoldMode::Tap, u""},
      {u"Six,Ctrl,Z,,latch,x", {}, HoldMode::Tap, u""},
  };
  for (const Case& c : cases) {
    const Binding binding = BindingForFields(SplitFields(c.line));
    EXPECT_EQ(binding.keys, c.keys) << test::U8(c.line);
    EXPECT_EQ(binding.mode, c.mode) << test::U8(c.line);
    EXPECT_EQ(ShortcutText(SplitFields(c.line)), c.shown) << test::U8(c.line);
  }
}

TEST(BindingForFields, ATapGoesDownInOrderAndComesUpInReverse) {
  auto up = [](int code) { return KeyStroke{KeyStroke::Kind::VirtualKey, code, true}; };
  EXPECT_EQ(StrokesForFields(SplitFields(u"Redo,Ctrl,Shift,Z")),
            (std::vector<KeyStroke>{Vk(17), Vk(16), Vk('Z'), up('Z'), up(16), up(17)}));
  EXPECT_TRUE(StrokesForFields(SplitFields(u"Pan,Space,,,latch")).empty());
  EXPECT_EQ(ModeField(HoldMode::Latch), u"latch");
  EXPECT_EQ(ModeField(HoldMode::Tap), u"");
}

}  // namespace
}  // namespace kavo
