// The keys that type each symbol in a layout, for desktops whose virtual input goes through it.

#include "platform/wayland/layout_keys.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>

namespace kavo::platform::wayland {
namespace {

// The layout's keymap as a compositor would send it.
std::string KeymapText(const char* layout) {
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  const xkb_rule_names names{nullptr, nullptr, layout, nullptr, nullptr};
  xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
  std::string text;
  if (keymap) {
    std::unique_ptr<char, decltype(&std::free)> string(
        xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1), &std::free);
    text = string.get();
  }
  xkb_keymap_unref(keymap);
  xkb_context_unref(context);
  return text;
}

TEST(LayoutKeys, EachSymbolIsTypedByItsKeyInTheLayoutWithTheFewestModifiers) {
  const struct {
    const char* layout;
    std::uint32_t keysym;
    std::optional<LayoutKey> key;
  } cases[] = {
      {"us", XKB_KEY_z, LayoutKey{KEY_Z}},
      {"us", XKB_KEY_Z, LayoutKey{KEY_Z, true}},
      {"us", XKB_KEY_minus, LayoutKey{KEY_MINUS}},
      {"us", XKB_KEY_at, LayoutKey{KEY_2, true}},
      {"us", XKB_KEY_F5, LayoutKey{KEY_F5}},
      {"us", XKB_KEY_Return, LayoutKey{KEY_ENTER}},
      {"us", XKB_KEY_Cyrillic_zhe, std::nullopt},
      // German: Z and Y change places, the minus sits beside the right Shift, @ and the euro
      // sign are on the third level.
      {"de", XKB_KEY_z, LayoutKey{KEY_Y}},
      {"de", XKB_KEY_y, LayoutKey{KEY_Z}},
      {"de", XKB_KEY_minus, LayoutKey{KEY_SLASH}},
      {"de", XKB_KEY_at, LayoutKey{KEY_Q, false, true}},
      {"de", XKB_KEY_EuroSign, LayoutKey{KEY_E, false, true}},
      {"de", XKB_KEY_adiaeresis, LayoutKey{KEY_APOSTROPHE}},
      {"de", XKB_KEY_Cyrillic_zhe, std::nullopt},
  };
  for (const char* layout : {"us", "de"}) {
    const auto byName = LayoutKeys::FromNames(layout);
    const auto sent = LayoutKeys::FromKeymap(KeymapText(layout));
    ASSERT_TRUE(byName && sent) << layout;
    for (const auto& c : cases) {
      if (std::string(c.layout) != layout) continue;
      char name[64];
      xkb_keysym_get_name(c.keysym, name, sizeof name);
      EXPECT_EQ(byName->Find(c.keysym), c.key) << layout << " " << name;
      EXPECT_EQ(sent->Find(c.keysym), c.key) << layout << " " << name << ", from the keymap's text";
    }
  }
}

// A held key that repeats keeps a desktop that repeats keys itself busy; modifiers never repeat.
TEST(LayoutKeys, KeysRepeatButModifiersDoNot) {
  const auto keys = LayoutKeys::FromKeymap(KeymapText("us"));
  ASSERT_TRUE(keys);
  EXPECT_TRUE(keys->Repeats(KEY_SPACE));
  EXPECT_TRUE(keys->Repeats(KEY_Z));
  EXPECT_FALSE(keys->Repeats(KEY_LEFTCTRL));
  EXPECT_FALSE(keys->Repeats(KEY_LEFTSHIFT));
}

TEST(LayoutKeys, AKeymapThatDoesNotCompileGivesNothing) {
  EXPECT_FALSE(LayoutKeys::FromKeymap(""));
  EXPECT_FALSE(LayoutKeys::FromKeymap("xkb_keymap { garbage"));
}

}  // namespace
}  // namespace kavo::platform::wayland
