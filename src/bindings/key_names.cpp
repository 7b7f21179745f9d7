#include "bindings/key_names.h"

#include "base/errors.h"
#include "base/integer_text.h"

namespace kavo {
namespace {

struct NamedKey {
  std::u16string_view text;
  std::int32_t code;
};

// The rules after the function-key rule, in the order they are tried.
constexpr NamedKey kNamedKeys[] = {
    {u"Delete", 46}, {u"Insert", 45}, {u"Back", 8},   {u"Left", 37}, {u"Right", 39},
    {u"Up", 38},     {u"Down", 40},   {u"Shift", 16}, {u"Alt", 18},  {u"Enter", 13},
};

}  // namespace

std::optional<std::int32_t> KeyNameToCode(std::u16string_view name) {
  if (name.empty()) return std::nullopt;
  if (name.find(u"Ctrl") != std::u16string_view::npos) return 17;
  if (name.size() > 1 && name.find(u'F') != std::u16string_view::npos) {
    const std::u16string_view rest = name.substr(1);
    const auto number = ParseInteger(rest);
    if (!number) throw EConvertError(rest);
    // Only the low 8 bits reach the system; wrap rather than overflow.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(*number) + 111u);
  }
  for (const auto& key : kNamedKeys) {
    if (name.find(key.text) != std::u16string_view::npos) return key.code;
  }
  return static_cast<std::int32_t>(name[0]);
}

}  // namespace kavo
