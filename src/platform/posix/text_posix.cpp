#include <locale.h>
#include <wctype.h>

#include "platform/text.h"

namespace kavo::platform {
namespace {

// The C.UTF-8 locale carries the full Unicode case tables, whatever locale the user runs.
locale_t CaseLocale() {
  static const locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
  }();
  return loc;
}

}  // namespace

std::u16string UpperCase(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  const locale_t loc = CaseLocale();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u < 0x80) {
      out.push_back(u >= u'a' && u <= u'z' ? static_cast<char16_t>(u - 32) : u);
      continue;
    }
    char32_t cp = u;
    const bool pair = u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                      text[i + 1] <= 0xDFFF;
    if (pair) cp = 0x10000 + ((u - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (!(cp >= 0xD800 && cp <= 0xDFFF)) cp = static_cast<char32_t>(towupper_l(cp, loc));
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

}  // namespace kavo::platform
