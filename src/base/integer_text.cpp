#include "base/integer_text.h"

namespace kavo {
namespace {

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';

  const std::u16string_view rest = text.substr(i);
  std::size_t prefix = 0;
  if (rest.starts_with(u"0x") || rest.starts_with(u"0X")) {
    prefix = 2;
  } else if (rest.starts_with(u"$") || rest.starts_with(u"x") || rest.starts_with(u"X")) {
    prefix = 1;
  }

  std::uint64_t value = 0;
  std::size_t digits = 0;
  if (prefix > 0) {
    for (std::size_t k = prefix; k < rest.size(); ++k, ++digits) {
      const int d = HexDigit(rest[k]);
      if (d < 0) return std::nullopt;
      value = value * 16 + static_cast<unsigned>(d);
      if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    auto pattern = static_cast<std::uint32_t>(value);
    if (negative) pattern = 0u - pattern;
    return static_cast<std::int32_t>(pattern);
  }

  for (const char16_t c : rest) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - u'0');
    if (value > 2147483648u) return std::nullopt;
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (!negative && value > 2147483647u) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(value)
                                            : static_cast<std::int64_t>(value));
}

}  // namespace kavo
