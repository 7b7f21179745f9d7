#pragma once
// UTF-16 surrogate pairs: the few rules every walker over UTF-16 text needs.

#include <cstddef>
#include <string>
#include <string_view>

namespace kavo {

inline bool IsHighSurrogate(char32_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
inline bool IsLowSurrogate(char32_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}
inline bool IsSurrogate(char32_t u) {
  return u >= 0xD800 && u <= 0xDFFF;
}

struct CodePoint {
  char32_t value;
  std::size_t units;  // 2 for a surrogate pair, else 1 (an unpaired surrogate stands alone)
};

// The code point that starts at text[i].
inline CodePoint ReadCodePoint(std::u16string_view text, std::size_t i) {
  const char16_t u = text[i];
  if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
    return {0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00), 2};
  }
  return {u, 1};
}

// Writes the code point's units at dst; returns the position after them.
inline char16_t* PutCodePoint(char16_t* dst, char32_t cp) {
  if (cp < 0x10000) {
    *dst++ = static_cast<char16_t>(cp);
  } else {
    *dst++ = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
    *dst++ = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
  }
  return dst;
}

inline void AppendCodePoint(std::u16string& out, char32_t cp) {
  char16_t units[2];
  out.append(units, PutCodePoint(units, cp));
}

}  // namespace kavo
