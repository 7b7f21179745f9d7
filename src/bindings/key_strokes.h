#pragma once
// What a click on a bar button types: the key strokes of a binding line's fields.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/key_injection.h"

namespace kavo {

// The key a name stands for, blanks around it ignored (TrimKeyName). A single character other
// than A to Z and 0 to 9 is the character itself, typed with whatever key produces it on the
// active layout; a lower-case letter is its letter key; every other name follows KeyNameToCode.
// An empty name has no key.
std::optional<platform::KeyStroke> ResolveKey(std::u16string_view name);

// The strokes for the fields of a binding line (field 0 being the caption): two fields press and
// release one key; three, two keys; four, three keys when field 1 is "Ctrl". Keys go down in
// order and come up in reverse. Every other count, or a binding naming an empty key, sends
// nothing. All keys are resolved before any stroke is made (EConvertError for a bad "F" name).
std::vector<platform::KeyStroke> StrokesForFields(const std::vector<std::u16string>& fields);

// How a binding's keys are sent: pressed and released at once, or kept down.
enum class HoldMode {
  Tap,     // down and up with the click
  Latch,   // down until the next stroke outside the bar ends, or a second click
  Toggle,  // down until the next click of the same button
};

// A binding line's keys, in the order they go down, and how they are sent.
struct Binding {
  std::vector<platform::KeyStroke> keys;
  HoldMode mode = HoldMode::Tap;
};

// Lines of up to four fields are taps, as StrokesForFields reads them. A fifth field "latch" or
// "toggle" (any letter case, blanks around it ignored) holds the keys of fields 1 to 3, empty
// ones skipped, with no rule on field 1. Any other line has no keys.
Binding BindingForFields(const std::vector<std::u16string>& fields);

// The key names of a binding line as BindingForFields reads them, blanks around them removed,
// before they are resolved; none where the line sends nothing.
struct KeyFields {
  std::vector<std::u16string_view> names;
  HoldMode mode = HoldMode::Tap;
};
std::optional<KeyFields> KeyFieldsOf(const std::vector<std::u16string>& fields);

// What a binding line's button sends, for its tooltip: "Ctrl+Z", "Space (held)"; empty where the
// line sends nothing.
std::u16string ShortcutText(const std::vector<std::u16string>& fields);

// The strokes of a tap: the keys down in order, then up in reverse.
std::vector<platform::KeyStroke> TapStrokes(const std::vector<platform::KeyStroke>& keys);

// The fifth field that Add writes for a mode; empty for a tap.
std::u16string_view ModeField(HoldMode mode);

}  // namespace kavo
