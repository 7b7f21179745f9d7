#pragma once
// What a click on a bar button types: the key strokes of a binding line's fields.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/input.h"

namespace kavo {

// The key a name stands for. A single character other than A to Z and 0 to 9 is the character
// itself, typed with whatever key produces it on the active layout; a lower-case letter is its
// letter key; every other name follows KeyNameToCode. An empty name has no key.
std::optional<platform::KeyStroke> ResolveKey(std::u16string_view name);

// The strokes for the fields of a binding line (field 0 being the caption): two fields press and
// release one key; three, two keys; four, three keys when field 1 is exactly "Ctrl". Keys go down
// in order and come up in reverse. Every other count, or a binding naming an empty key, sends
// nothing. All keys are resolved before any stroke is made (EConvertError for a bad "F" name).
std::vector<platform::KeyStroke> StrokesForFields(const std::vector<std::u16string>& fields);

}  // namespace kavo
