#include "bindings/key_strokes.h"

#include "bindings/key_names.h"

namespace kavo {

using platform::KeyStroke;

namespace {

std::optional<HoldMode> ModeOf(std::u16string_view field) {
  if (IsWholeName(field, u"latch")) return HoldMode::Latch;
  if (IsWholeName(field, u"toggle")) return HoldMode::Toggle;
  return std::nullopt;
}

}  // namespace

std::optional<KeyStroke> ResolveKey(std::u16string_view untrimmed) {
  const std::u16string_view name = TrimKeyName(untrimmed);
  if (name.size() == 1) {
    const char16_t c = name[0];
    if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) {
      return KeyStroke{KeyStroke::Kind::VirtualKey, c, false};
    }
    if (c >= u'a' && c <= u'z') return KeyStroke{KeyStroke::Kind::VirtualKey, c - 32, false};
    return KeyStroke{KeyStroke::Kind::Character, c, false};
  }
  const auto code = KeyNameToCode(name);
  if (!code) return std::nullopt;
  return KeyStroke{KeyStroke::Kind::VirtualKey, *code, false};
}

std::vector<KeyStroke> StrokesForFields(const std::vector<std::u16string>& fields) {
  const Binding binding = BindingForFields(fields);
  if (binding.mode != HoldMode::Tap) return {};
  return TapStrokes(binding.keys);
}

Binding BindingForFields(const std::vector<std::u16string>& fields) {
  Binding binding;
  if (fields.size() == 5) {
    const auto mode = ModeOf(fields[4]);
    if (!mode) return {};
    binding.mode = *mode;
    for (std::size_t i = 1; i <= 3; ++i) {
      if (const auto key = ResolveKey(fields[i])) binding.keys.push_back(*key);
    }
    return binding;
  }
  std::size_t keyCount = 0;
  if (fields.size() == 2 || fields.size() == 3) keyCount = fields.size() - 1;
  if (fields.size() == 4 && TrimKeyName(fields[1]) == u"Ctrl") keyCount = 3;
  for (std::size_t i = 1; i <= keyCount; ++i) {
    const auto key = ResolveKey(fields[i]);
    if (!key) return {};  // a binding naming an empty key sends nothing
    binding.keys.push_back(*key);
  }
  return binding;
}

std::vector<KeyStroke> TapStrokes(const std::vector<KeyStroke>& keys) {
  std::vector<KeyStroke> strokes(keys.begin(), keys.end());
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    strokes.push_back(*it);
    strokes.back().release = true;
  }
  return strokes;
}

std::u16string_view ModeField(HoldMode mode) {
  switch (mode) {
    case HoldMode::Latch:
      return u"latch";
    case HoldMode::Toggle:
      return u"toggle";
    case HoldMode::Tap:
      break;
  }
  return u"";
}

}  // namespace kavo
