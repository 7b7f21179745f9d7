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

TEST(BindingForFields, LinesOfUpToFourFieldsTapAndAFifthFieldHolds) {
  struct Case {
    std::u16string_view line;
    std::vector<KeyStroke> keys;
    HoldMode mode;
  };
  const Case cases[] = {
      {u"Undo,Ctrl,Z", {Vk(17), Vk('Z')}, HoldMode::Tap},
      {u"Undo, Ctrl, Z", {Vk(17), Vk('Z')}, HoldMode::Tap},  // not Ctrl+Space
      {u"Redo, Ctrl, Shift, Z", {Vk(17), Vk(16), Vk('Z')}, HoldMode::Tap},
      {u"Pick,Shift,Ctrl,Z", {}, HoldMode::Tap},  // four fields must start with Ctrl
      {u"Quit,Esc", {Vk(0x1B)}, HoldMode::Tap},
      {u"Next,Tab", {Vk(0x09)}, HoldMode::Tap},
      {u"Comma,\",\"", {Char(u',')}, HoldMode::Tap},
      {u"Gap,Ctrl,,Z", {}, HoldMode::Tap},  // an empty key: nothing
      {u"Caption", {}, HoldMode::Tap},
      {u"Pan,Space,,,latch", {Vk(0x20)}, HoldMode::Latch},
      {u"Pick,Ctrl,,, Toggle ", {Vk(17)}, HoldMode::Toggle},
      {u"Brush,Shift,Ctrl,Z,LATCH", {Vk(16), Vk(17), Vk('Z')}, HoldMode::Latch},
      {u"Nothing,,,,latch", {}, HoldMode::Latch},
      {u"Unknown,Ctrl,Z,,hold", {}, HoldMode::Tap},  // another fifth field stays inert
      {u"Tap,Ctrl,Z,,tap", {}, HoldMode::Tap},
      {u"Six,Ctrl,Z,,latch,x", {}, HoldMode::Tap},
  };
  for (const Case& c : cases) {
    const Binding binding = BindingForFields(SplitFields(c.line));
    EXPECT_EQ(binding.keys, c.keys) << test::U8(c.line);
    EXPECT_EQ(binding.mode, c.mode) << test::U8(c.line);
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
