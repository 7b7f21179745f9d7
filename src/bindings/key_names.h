#pragma once
// Key names ("Ctrl", "F5", "Esc", "Z", ...) to Windows virtual-key codes.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kavo {

// The name without the blanks around it, unless nothing would be left: " F5" is "F5", while a
// name of blanks only stays as it is.
std::u16string_view TrimKeyName(std::u16string_view name);

// Whether the name, trimmed, is this whole name in any letter case (A to Z).
bool IsWholeName(std::u16string_view name, std::u16string_view whole);

// The virtual-key code of a key name (trimmed first). Whole names of keys that have no single
// character come first, in any letter case: Esc and Escape, Tab, Space, Home, End, PageUp and
// PgUp, PageDown and PgDn, Win and Super, Menu, PrintScreen, Pause, CapsLock, NumLock,
// ScrollLock, Num0 to Num9, NumPlus, NumMinus, NumMultiply, NumDivide, NumDecimal. Then the
// first of these rules that matches (case-sensitive "contains" tests): Ctrl 17; "F" and longer
// than one character: the rest after the first character read as an integer, plus 111
// (EConvertError when it is not one); Delete 46; Insert 45; Back 8; Left 37; Right 39; Up 38;
// Down 40; Shift 16; Alt 18; Enter 13; any other name: the UTF-16 code of its first character.
// An empty name has no code: nullopt.
std::optional<std::int32_t> KeyNameToCode(std::u16string_view name);

// The whole names above, one per key (no synonyms), in the order a key chooser lists them.
const std::vector<std::u16string_view>& NamedKeysForChoosers();

}  // namespace kavo
