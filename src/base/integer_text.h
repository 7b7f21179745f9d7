#pragma once
// The integer grammar that key names and settings values share: leading blanks, an optional
// sign, then decimal digits, or hexadecimal digits behind "$", "x", "X", "0x" or "0X".

#include <cstdint>
#include <optional>
#include <string_view>

namespace kavo {

// nullopt when the text is not such an integer or lies outside 32 bits. Decimal numbers must
// fit a signed 32-bit integer; hexadecimal ones may reach FFFFFFFF, read as its 32-bit pattern.
std::optional<std::int32_t> ParseInteger(std::u16string_view text);

}  // namespace kavo
