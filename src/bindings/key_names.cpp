#include "bindings/key_names.h"

#include <algorithm>

#include "base/errors.h"
#include "base/integer_text.h"

namespace kavo {
namespace {

struct NamedKey {
  std::u16string_view text;
  std::int32_t code;
};

// Keys without a character of their own, matched as whole names in any letter case; the first
// name of each key is the one the choosers offer.
constexpr NamedKey kWholeNames[] = {
    {u"Esc", 0x1B},        {u"Escape", 0x1B},      {u"Tab", 0x09},         {u"Space", 0x20},
    {u"Home", 0x24},       {u"End", 0x23},         {u"PageUp", 0x21},      {u"PgUp", 0x21},
    {u"PageDown", 0x22},   {u"PgDn", 0x22},        {u"Win", 0x5B},         {u"Super", 0x5B},
    {u"Menu", 0x5D},       {u"PrintScreen", 0x2C}, {u"Pause", 0x13},       {u"CapsLock", 0x14},
    {u"NumLock", 0x90},    {u"ScrollLock", 0x91},  {u"Num0", 0x60},        {u"Num1", 0x61},
    {u"Num2", 0x62},       {u"Num3", 0x63},        {u"Num4", 0x64},        {u"Num5", 0x65},
    {u"Num6", 0x66},       {u"Num7", 0x67},        {u"Num8", 0x68},        {u"Num9", 0x69},
    {u"NumPlus", 0x6B},    {u"NumMinus", 0x6D},    {u"NumMultiply", 0x6A}, {u"NumDivide", 0x6F},
    {u"NumDecimal", 0x6E},
};

// The rules after the function-key rule, in the order they are tried.
constexpr NamedKey kNamedKeys[] = {
    {u"Delete", 46}, {u"Insert", 45}, {u"Back", 8},   {u"Left", 37}, {u"Right", 39},
    {u"Up", 38},     {u"Down", 40},   {u"Shift", 16}, {u"Alt", 18},  {u"Enter", 13},
};

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

}  // namespace

std::u16string_view TrimKeyName(std::u16string_view name) {
  std::size_t first = 0, last = name.size();
  while (first < last && IsBlank(name[first])) ++first;
  while (last > first && IsBlank(name[last - 1])) --last;
  return first == last ? name : name.substr(first, last - first);
}

bool IsWholeName(std::u16string_view name, std::u16string_view whole) {
  const std::u16string_view trimmed = TrimKeyName(name);
  const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + 32 : c; };
  return trimmed.size() == whole.size() &&
         std::equal(trimmed.begin(), trimmed.end(), whole.begin(),
                    [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

std::optional<std::int32_t> KeyNameToCode(std::u16string_view untrimmed) {
  const std::u16string_view name = TrimKeyName(untrimmed);
  if (name.empty()) return std::nullopt;
  for (const auto& key : kWholeNames) {
    if (IsWholeName(name, key.text)) return key.code;
  }
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

const std::vector<std::u16string_view>& NamedKeysForChoosers() {
  static const std::vector<std::u16string_view> names = [] {
    std::vector<std::u16string_view> list;
    for (std::size_t i = 0; i < std::size(kWholeNames); ++i) {
      if (i == 0 || kWholeNames[i].code != kWholeNames[i - 1].code)
        list.push_back(kWholeNames[i].text);
    }
    return list;
  }();
  return names;
}

}  // namespace kavo
