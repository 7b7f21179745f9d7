#pragma once
// Key names ("Ctrl", "F5", "Z", ...) to Windows virtual-key codes.

#include <cstdint>
#include <optional>
#include <string_view>

namespace kavo {

// The virtual-key code of a key name, by the first of these rules that matches (case-sensitive
// "contains" tests): Ctrl 17; "F" and longer than one character: the rest after the first
// character read as an integer, plus 111 (EConvertError when it is not one); Delete 46;
// Insert 45; Back 8; Left 37; Right 39; Up 38; Down 40; Shift 16; Alt 18; Enter 13; any other
// name: the UTF-16 code of its first character. An empty name has no code: nullopt.
std::optional<std::int32_t> KeyNameToCode(std::u16string_view name);

}  // namespace kavo
