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
      {u"BackSpace", 8}, {u"PageDown", 40},
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
      {u"F1 ", "'1 ' は整数ではありません"},
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
