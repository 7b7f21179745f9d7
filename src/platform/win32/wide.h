#pragma once
// The core's UTF-16 text and Windows' wide strings are the same code units.

#include <string>
#include <string_view>

namespace kavo::platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}
inline std::u16string Narrow(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace kavo::platform::win32
