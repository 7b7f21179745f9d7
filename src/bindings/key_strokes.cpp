#include "bindings/key_strokes.h"

#include "bindings/key_names.h"

namespace kavo {

using platform::KeyStroke;

std::optional<KeyStroke> ResolveKey(std::u16string_view name) {
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
  std::size_t keyCount = 0;
  if (fields.size() == 2 || fields.size() == 3) keyCount = fields.size() - 1;
  if (fields.size() == 4 && fields[1] == u"Ctrl") keyCount = 3;

  std::vector<KeyStroke> keys;
  bool emptyName = false;
  for (std::size_t i = 1; i <= keyCount; ++i) {
    if (const auto key = ResolveKey(fields[i])) {
      keys.push_back(*key);
    } else {
      emptyName = true;
    }
  }
  if (emptyName) return {};  // a binding naming an empty key sends nothing
  std::vector<KeyStroke> strokes(keys.begin(), keys.end());
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    strokes.push_back(*it);
    strokes.back().release = true;
  }
  return strokes;
}

}  // namespace kavo
