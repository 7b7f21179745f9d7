#pragma once
// The bar's menu items in the system's language: Japanese on a Japanese system, else English.

#include <QString>
#include <string_view>

namespace kavo {

struct MenuCaptions {
  QString setting, resize, reAcquire, follow, openKeyBind, saveAsKeyBind, saveForApp, minimized,
      close;
};

// For a locale name as the system gives it ("ja_JP.UTF-8", "ja-JP", "en_US.UTF-8", ...).
MenuCaptions MenuCaptionsFor(std::u16string_view localeName);

}  // namespace kavo
