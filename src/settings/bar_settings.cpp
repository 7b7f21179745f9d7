#include "settings/bar_settings.h"

namespace kavo {
namespace {

struct IntegerSetting {
  const char16_t* section;
  const char16_t* key;
  std::int32_t BarSettings::*field;
};

// The defaults are the struct's own.
constexpr IntegerSetting kIntegers[] = {
    {u"Form", u"Top", &BarSettings::Top},       {u"Form", u"Left", &BarSettings::Left},
    {u"Form", u"Height", &BarSettings::Height}, {u"Form", u"Width", &BarSettings::Width},
    {u"Icon", u"Width", &BarSettings::Btw},     {u"Icon", u"Height", &BarSettings::Bth},
    {u"Icon", u"Corner", &BarSettings::Btc},    {u"Icon", u"HGap", &BarSettings::Bgh},
    {u"Icon", u"VGap", &BarSettings::Bgv},
};
// The shadow flag comes last.
constexpr const char16_t* kShadowSection = u"Icon";
constexpr const char16_t* kShadowKey = u"Shadow";

}  // namespace

BarSettings ReadBarSettings(TIniStore& ini) {
  BarSettings s;
  for (const auto& setting : kIntegers) {
    s.*setting.field = ini.ReadInteger(setting.section, setting.key, s.*setting.field);
  }
  s.isShadow = ini.ReadBool(kShadowSection, kShadowKey, s.isShadow);
  return s;
}

void WriteBarSettings(TIniStore& ini, const BarSettings& s) {
  for (const auto& setting : kIntegers)
    ini.WriteInteger(setting.section, setting.key, s.*setting.field);
  ini.WriteBool(kShadowSection, kShadowKey, s.isShadow);
}

}  // namespace kavo
