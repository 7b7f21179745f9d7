#include "base/errors.h"

#include "base/text_codec.h"

namespace kavo {

EStringListError::EStringListError(std::int64_t index)
    : KavoError("EStringListError",
                "リストのインデックスが範囲を超えています (" + std::to_string(index) + ")") {}

EFOpenError::EFOpenError(std::u16string_view fullPath, std::u16string_view systemText)
    : KavoError("EFOpenError", "ファイル " + ToUtf8(fullPath) + " は開けません。 " +
                                   ToUtf8(TrimSystemText(systemText)) + " ") {}

EEncodingError::EEncodingError()
    : KavoError("EEncodingError",
                "Unicode 文字のマッピングがターゲットのマルチバイト コード ページに存在しません") {}

EFCreateError::EFCreateError(std::u16string_view fullPath, std::u16string_view systemText)
    : KavoError("EFCreateError", "ファイル \"" + ToUtf8(fullPath) + "\" を作成できません。" +
                                     ToUtf8(TrimSystemText(systemText))) {}

EWriteError::EWriteError() : KavoError("EWriteError", "ストリームへの書き込みエラー") {}

namespace {
// Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about "'" + std::string at -O2.
std::string NotAnInteger(std::u16string_view text) {
  std::string message = "'";
  message += ToUtf8(text);
  message += "' は整数ではありません";
  return message;
}
}  // namespace

EConvertError::EConvertError(std::u16string_view text)
    : KavoError("EConvertError", NotAnInteger(text)) {}

std::u16string TrimSystemText(std::u16string_view text) {
  while (!text.empty() && (text.back() < 33 || text.back() == u'.')) text.remove_suffix(1);
  return std::u16string(text);
}

std::string ErrorBoxText(const KavoError& error) {
  std::string text = error.Message();
  const std::u16string wide = FromUtf8Lossy(text);
  if (!wide.empty() && wide.back() > u'.') text += '.';
  return text;
}

}  // namespace kavo
