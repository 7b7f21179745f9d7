#pragma once
// What the fuzz targets share: text made from the fuzzer's bytes, and a failed property that
// stops the run with a message saying which.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace kavo::fuzz {

// Stops the run: the fuzzer keeps the input that did it.
[[noreturn]] inline void PropertyFailed(const char* what) {
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

#define KAVO_FUZZ_CHECK(condition) ((condition) ? void() : ::kavo::fuzz::PropertyFailed(#condition))

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The bytes read as UTF-16 code units, low byte first; a last odd byte is dropped. Every unit
// can appear this way, unpaired surrogates and U+0000 included.
inline std::u16string Units(std::string_view bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return text;
}

inline bool HasUnpairedSurrogate(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      return true;
    }
  }
  return false;
}

}  // namespace kavo::fuzz
