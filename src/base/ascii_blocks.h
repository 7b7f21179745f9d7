#pragma once
// Tests for runs of ASCII a word at a time: key and settings files are mostly plain ASCII, and
// the codecs take such runs in one step.

#include <cstdint>
#include <cstring>

namespace kavo {

// Whether the eight bytes at p are all below 0x80.
inline bool AsciiBytes8(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return (word & 0x8080808080808080ull) == 0;
}

// Whether the four UTF-16 code units at p are all below U+0080.
inline bool AsciiUnits4(const char16_t* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return (word & 0xFF80FF80FF80FF80ull) == 0;
}

}  // namespace kavo
