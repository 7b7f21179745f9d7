#include "settings/bar_settings.h"

namespace kavo {
namespace {

template <typename Of>
struct IntegerSetting {
  const char16_t* section;
  const char16_t* key;
  std::int32_t Of::*field;
};

// The defaults are the structs' own; [Form] first, then [Icon].
constexpr IntegerSetting<BarSettings> kPlace[] = {
    {u"Form", u"Top", &BarSettings::Top},
    {u"Form", u"Left", &BarSettings::Left},
    {u"Form", u"Height", &BarSettings::Height},
    {u"Form", u"Width", &BarSettings::Width},
};
constexpr IntegerSetting<ButtonLook> kLook[] = {
    {u"Icon", u"Width", &ButtonLook::Btw},  {u"Icon", u"Height", &ButtonLook::Bth},
    {u"Icon", u"Corner", &ButtonLook::Btc}, {u"Icon", u"HGap", &ButtonLook::Bgh},
    {u"Icon", u"VGap", &ButtonLook::Bgv},
};
// The shadow flag comes last.
constexpr const char16_t* kShadowSection = u"Icon";
constexpr const char16_t* kShadowKey = u"Shadow";
// The last, written after everything older copies wrote.
constexpr const char16_t* kFollowSection = u"Target";
constexpr const char16_t* kFollowKey = u"Follow";

}  // namespace

BarSettings ReadBarSettings(TIniStore& ini) {
  BarSettings s;
  for (const auto& setting : kPlace) {
    s.*setting.field = ini.ReadInteger(setting.section, setting.key, s.*setting.field);
  }
  for (const auto& setting : kLook) {
    s.look.*setting.field = ini.ReadInteger(setting.section, setting.key, s.look.*setting.field);
  }
  s.look.isShadow = ini.ReadBool(kShadowSection, kShadowKey, s.look.isShadow);
  s.follow = ini.ReadBool(kFollowSection, kFollowKey, s.follow);
  return s;
}

void WriteBarSettings(TIniStore& ini, const BarSettings& s) {
  for (const auto& setting : kPlace)
    ini.WriteInteger(setting.section, setting.key, s.*setting.field);
  for (const auto& setting : kLook) {
    ini.WriteInteger(setting.section, setting.key, s.look.*setting.field);
  }
  ini.WriteBool(kShadowSection, kShadowKey, s.look.isShadow);
  ini.WriteBool(kFollowSection, kFollowKey, s.follow);
}

}  // namespace kavo
