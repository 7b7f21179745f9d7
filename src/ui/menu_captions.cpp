#include "ui/menu_captions.h"

namespace kavo {

MenuCaptions MenuCaptionsFor(std::u16string_view localeName) {
  if (localeName.find(u"ja") != std::u16string_view::npos) {
    return {QStringLiteral("設定"),
            QStringLiteral("サイズ変更"),
            QStringLiteral("アプリ再取得"),
            QStringLiteral("追従"),
            QStringLiteral("KeyBind読込み"),
            QStringLiteral("KeyBind別名保存"),
            QStringLiteral("KeyBindアプリ別保存"),
            QStringLiteral("最小化"),
            QStringLiteral("終了")};
  }
  return {QStringLiteral("Settings"),
          QStringLiteral("ReSize"),
          QStringLiteral("ReAcquire"),
          QStringLiteral("Follow"),
          QStringLiteral("OpenKeyBind"),
          QStringLiteral("SaveAsKeyBind"),
          QStringLiteral("SaveKeyBindForApp"),
          QStringLiteral("Minimized"),
          QStringLiteral("Close")};
}

}  // namespace kavo
