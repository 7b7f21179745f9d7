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

std::optional<KeyFields> KeyFieldsOf(const std::vector<std::u16string>& fields) {
  KeyFields key;
  if (fields.size() == 5) {
    const auto mode = ModeOf(fields[4]);
    if (!mode) return std::nullopt;
    key.mode = *mode;
    for (std::size_t i = 1; i <= 3; ++i) {
      if (!TrimKeyName(fields[i]).empty()) key.names.push_back(TrimKeyName(fields[i]));
    }
    return key;
  }
  std::size_t keyCount = 0;
  if (fields.size() == 2 || fields.size() == 3) keyCount = fields.size() - 1;
  if (fields.size() == 4 && TrimKeyName(fields[1]) == u"Ctrl") keyCount = 3;
  if (keyCount == 0) return std::nullopt;
  for (std::size_t i = 1; i <= keyCount; ++i) {
    // A binding naming an empty key sends nothing.
    if (TrimKeyName(fields[i]).empty()) return std::nullopt;
    key.names.push_back(TrimKeyName(fields[i]));
  }
  return key;
}

Binding BindingForFields(const std::vector<std::u16string>& fields) {
  const auto key = KeyFieldsOf(fields);
  if (!key) return {};
  Binding binding;
  binding.mode = key->mode;
  for (const std::u16string_view name : key->names) {
    const auto stroke = ResolveKey(name);
    if (stroke) {
      binding.keys.push_back(*stroke);
    } else if (key->mode == HoldMode::Tap) {
      return {};  // a tap naming an unknown key sends nothing; a hold skips it
    }
  }
  return binding;
}

std::u16string ShortcutText(const std::vector<std::u16string>& fields) {
  const auto key = KeyFieldsOf(fields);
  if (!key || key->names.empty()) return {};
  std::u16string text;
  for (const std::u16string_view name : key->names) {
    if (!text.empty()) text += u'+';
    text += name;
  }
  if (key->mode != HoldMode::Tap) text += u" (held)";
  return text;
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
