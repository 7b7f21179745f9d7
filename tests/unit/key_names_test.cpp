#include "bindings/key_names.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "test_support.h"

namespace kavo {
namespace {

TEST(KeyNameToCode, FollowsTheRulesInOrder) {
  struct Case {
    std::u16string_view name;
    std::int32_t code;
  };
  const Case cases[] = {
      {u"Ctrl", 17},     {u"Shift", 16},
      {u"Alt", 18},      {u"Enter", 13},
      {u"Insert", 45},   {u"Delete", 46},
      {u"Up", 38},       {u"Down", 40},
      {u"Left", 37},     {u"Right", 39},
      {u"Back", 8},      {u"F1", 112},
      {u"F5", 116},      {u"F12", 123},
      {u"F24", 135},     {u"F0", 111},
      {u"F", 70},        {u"A", 65},
      {u"Z", 90},        {u"0", 48},
      {u"9", 57},        {u"z", 122},
      {u"-", 45},        {u".", 46},
      {u"[", 91},        {u",", 44},
      {u"~", 126},       {u"ctrl", 99},
      {u"LeftCtrl", 17},  // rule 1 before rule 6
      {u"Update", 38},    // contains Up
      {u"BackSpace", 8}, {u"Backspace", 8},
      {u"AltGr", 18},    {u"F 7", 118},  // leading blanks are allowed in the number
      {u"F-1", 110},     {u"F+2", 113},
      {u"F$10", 127},    {u"Fx10", 127},
      {u"F0x10", 127},   {u"F2147483647", INT32_MIN + 110},  // wraps; only 8 bits are sent
      {u"\u00E9", 0xE9}, {u"\u5143", 0x5143},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeyNameToCode(c.name), c.code) << test::U8(c.name);
  }
}

// Keys without a character of their own, by whole name in any letter case, before the rules;
// blanks around a name do not count. Names not in the list keep what the rules give them.
TEST(KeyNameToCode, WholeNamesComeFirstAndBlanksAroundANameDoNotCount) {
  struct Case {
    std::u16string_view name;
    std::int32_t code;
  };
  const Case cases[] = {
      {u"Esc", 0x1B},
      {u"ESCAPE", 0x1B},
      {u"tab", 0x09},
      {u"Space", 0x20},
      {u"Home", 0x24},
      {u"end", 0x23},
      {u"PageUp", 0x21},
      {u"PgUp", 0x21},
      {u"PageDown", 0x22},
      {u"pgdn", 0x22},
      {u"Win", 0x5B},
      {u"Super", 0x5B},
      {u"Menu", 0x5D},
      {u"PrintScreen", 0x2C},
      {u"Pause", 0x13},
      {u"CapsLock", 0x14},
      {u"NumLock", 0x90},
      {u"ScrollLock", 0x91},
      {u"Num0", 0x60},
      {u"num9", 0x69},
      {u"NumPlus", 0x6B},
      {u"NumMinus", 0x6D},
      {u"NumMultiply", 0x6A},
      {u"NumDivide", 0x6F},
      {u"NumDecimal", 0x6E},
      // Blanks around a name.
      {u" F5", 116},
      {u"F1 ", 112},
      {u"  Ctrl ", 17},
      {u"\tEsc\t", 0x1B},
      {u" Enter", 13},
      {u"  ", 32},  // blanks only: the first one, as before
      // Not in the list: as before.
      {u"Escapes", 69},
      {u"Num10", 78},
      {u"Spacebar", 83},
      {u"x,ctrl", 120},
      {u"LeftCtrl", 17},
      {u"Update", 38},
      {u"Back", 8},
      {u"PageUp2", 38},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeyNameToCode(c.name), c.code) << test::U8(c.name);
  }
}

TEST(KeyNameToCode, EmptyNameHasNoCode) {
  EXPECT_EQ(KeyNameToCode(u""), std::nullopt);
}

TEST(KeyNameToCode, FunctionKeyWithoutANumberIsTheConversionError) {
  struct Case {
    std::u16string_view name;
    const char* message;
  };
  const Case cases[] = {
      {u"Fast", "'ast' は整数ではありません"},
      {u"Fn", "'n' は整数ではありません"},
      {u"Fx", "'x' は整数ではありません"},
      {u"F99999999999", "'99999999999' は整数ではありません"},
      {u"xF", "'F' は整数ではありません"},  // "contains F": the rest after the first character
  };
  for (const Case& c : cases) {
    try {
      KeyNameToCode(c.name);
      ADD_FAILURE() << test::U8(c.name) << " converted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

}  // namespace
}  // namespace kavo
