#include "base/integer_text.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

TEST(ParseInteger, AcceptsTheGrammarAndRejectsEverythingElse) {
  struct Case {
    std::u16string_view text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {u"0", 0},
      {u"00", 0},
      {u"+7", 7},
      {u"  12", 12},
      {u"-2147483648", INT32_MIN},
      {u"2147483647", INT32_MAX},
      {u"$20", 32},
      {u"x20", 32},
      {u"X20", 32},
      {u"0x20", 32},
      {u"0X20", 32},
      {u"0xff", 255},
      {u"-0x10", -16},
      {u"$0", 0},
      {u"0xFFFFFFFF", -1},
      {u"$80000000", INT32_MIN},
      {u"-$80000000", INT32_MIN},
      {u"0x00000000FF", 255},
      {u"2147483648", std::nullopt},
      {u"-2147483649", std::nullopt},
      {u"0x100000000", std::nullopt},
      {u"", std::nullopt},
      {u"-", std::nullopt},
      {u"0x", std::nullopt},
      {u"$", std::nullopt},
      {u"7 px", std::nullopt},
      {u"7.5", std::nullopt},
      {u"12 ", std::nullopt},
      {u"1 2", std::nullopt},
      {u"- 1", std::nullopt},
      {u"true", std::nullopt},
      {u"0x-5", std::nullopt},
      {u"\uFF11", std::nullopt},  // a full-width digit is not a digit
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseInteger(c.text), c.value)
        << std::string(c.text.begin(), c.text.end());  // ASCII cases print readably
  }
}

}  // namespace
}  // namespace kavo
