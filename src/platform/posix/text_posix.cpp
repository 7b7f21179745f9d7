#include <locale.h>
#include <wctype.h>

#include "base/utf16.h"
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
  for (std::size_t i = 0; i < text.size();) {
    const char16_t u = text[i];
    if (u < 0x80) {
      out.push_back(u >= u'a' && u <= u'z' ? static_cast<char16_t>(u - 32) : u);
      ++i;
      continue;
    }
    const CodePoint point = ReadCodePoint(text, i);
    i += point.units;
    AppendCodePoint(out, IsSurrogate(point.value)
                             ? point.value
                             : static_cast<char32_t>(towupper_l(point.value, loc)));
  }
  return out;
}

}  // namespace kavo::platform
