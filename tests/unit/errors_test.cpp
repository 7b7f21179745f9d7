#include "base/errors.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

TEST(Errors, CarryTheirKindAndExactMessage) {
  struct Case {
    KavoError error;
    const char* kind;
    const char* message;
  };
  const Case cases[] = {
      {EStringListError(-1), "EStringListError", "リストのインデックスが範囲を超えています (-1)"},
      {EFOpenError(u"/a/b.txt", u"No such file or directory\r\n"), "EFOpenError",
       "ファイル /a/b.txt は開けません。 No such file or directory "},
      {EEncodingError(), "EEncodingError",
       "Unicode 文字のマッピングがターゲットのマルチバイト コード ページに存在しません"},
      {EFCreateError(u"/a/b.txt", u"Access is denied. \r\n"), "EFCreateError",
       "ファイル \"/a/b.txt\" を作成できません。Access is denied"},
      {EWriteError(), "EWriteError", "ストリームへの書き込みエラー"},
      {EConvertError(u"ast"), "EConvertError", "'ast' は整数ではありません"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(c.error.Kind(), c.kind);
    EXPECT_EQ(c.error.Message(), c.message);
  }
}

TEST(Errors, SystemTextLosesTrailingControlsBlanksAndFullStops) {
  EXPECT_EQ(TrimSystemText(u"Disk full. . \r\n\t"), u"Disk full");
  EXPECT_EQ(TrimSystemText(u"v1.2 failed"), u"v1.2 failed");
  EXPECT_EQ(TrimSystemText(u" .\n"), u"");
}

TEST(Errors, BoxTextAddsAFullStopAfterCharactersAboveIt) {
  EXPECT_EQ(ErrorBoxText(EStringListError(3)), "リストのインデックスが範囲を超えています (3)");
  EXPECT_EQ(ErrorBoxText(EWriteError()), "ストリームへの書き込みエラー.");
  EXPECT_EQ(ErrorBoxText(EFOpenError(u"x", u"gone")), "ファイル x は開けません。 gone ");
  EXPECT_EQ(ErrorBoxText(KavoError("E", "ends in a stop.")), "ends in a stop.");
  EXPECT_EQ(ErrorBoxText(KavoError("E", "終わり。")), "終わり。.");
}

}  // namespace
}  // namespace kavo
