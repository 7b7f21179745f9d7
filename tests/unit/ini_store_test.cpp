// The settings store against real files: what it reads, and the exact text it writes back.

#include "settings/ini_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "as_test_user.h"
#include "base/errors.h"
#include "platform/code_page.h"
#include "settings/bar_settings.h"
#include "test_support.h"

namespace kavo {
namespace {

using namespace std::string_literals;

// The bar's own load and save sequences, from the one table of sections, keys and defaults.
using Settings = BarSettings;
Settings Load(TIniStore& ini) {
  return ReadBarSettings(ini);
}
void Save(TIniStore& ini, const Settings& s) {
  WriteBarSettings(ini, s);
}

const std::string kDefaultFile =
    "[Form]\r\nTop=100\r\nLeft=100\r\nHeight=130\r\nWidth=250\r\n\r\n"
    "[Icon]\r\nWidth=50\r\nHeight=25\r\nCorner=5\r\nHGap=2\r\nVGap=2\r\nShadow=1\r\n\r\n"
    "[Target]\r\nFollow=0\r\n\r\n";

class IniStoreTest : public testing::Test {
 protected:
  TIniStore StoreWith(std::string_view bytes) {
    test::WriteBytes(file_, bytes);
    return StoreAt();
  }
  TIniStore StoreAt() {
    TIniStore ini;
    ini.SetPath(test::U16(file_));
    return ini;
  }
  std::string FileBytes() const { return test::ReadBytes(file_); }

  platform::ScopedCodePage codePage_{1252};
  test::TempDir dir_;
  std::string file_ = dir_.Native("Kavo.ini");
};

TEST_F(IniStoreTest, NoFileGivesDefaultsAndCloseWritesTheTwoSections) {
  const std::optional<std::string> starts[] = {std::nullopt, "", "; only a comment\r\n\r\n  \r\n"};
  for (const auto& start : starts) {
    std::filesystem::remove(file_);
    TIniStore ini = start ? StoreWith(*start) : StoreAt();
    const Settings s = Load(ini);
    EXPECT_EQ(s, Settings{});
    Save(ini, s);
    EXPECT_EQ(FileBytes(), kDefaultFile);
  }
}

TEST_F(IniStoreTest, ExistingFileKeepsWhatItDoesNotUseAndLosesTheRest) {
  TIniStore ini = StoreWith(
      "; placement\r\n[form]\r\ntop = 250\r\nLeft=-20\r\nnote without value\r\n[Icon]\r\n"
      "Shadow=false\r\nExtra=abc\r\n\r\n[Other]\r\nX=1\r\n[Form]\r\nWidth=300\r\n"
      "[target]\r\nfollow=1\r\n");
  Settings s = Load(ini);
  Settings expected;
  expected.Top = 250, expected.Left = -20, expected.Width = 300, expected.follow = true;
  EXPECT_EQ(s, expected);

  s.Left = 0;  // the window is moved back onto the screen before saving
  Save(ini, s);
  EXPECT_EQ(FileBytes(),
            "[form]\r\ntop=250\r\nLeft=0\r\nnote without value\r\nWidth=300\r\nHeight=130\r\n\r\n"
            "[Icon]\r\nShadow=1\r\nExtra=abc\r\nWidth=50\r\nHeight=25\r\nCorner=5\r\nHGap=2\r\n"
            "VGap=2\r\n\r\n[Other]\r\nX=1\r\n\r\n[target]\r\nfollow=1\r\n\r\n");
}

TEST_F(IniStoreTest, IntegerValues) {
  const struct {
    std::string value;
    int read;
  } cases[] = {
      {"0x20", 32},       {"0X20", 32}, {"$20", 32},        {"x20", 32},
      {"-0x10", -16},     {"+7", 7},    {"0xFFFFFFFF", -1}, {"-2147483648", INT32_MIN},
      {"2147483648", 50}, {"7 px", 50}, {"7.5", 50},        {"0x", 50},
      {"", 50},           {"  9  ", 9},
  };
  for (const auto& c : cases) {
    TIniStore ini = StoreWith("[Icon]\r\nWidth=" + c.value + "\r\n");
    EXPECT_EQ(ini.ReadInteger(u"Icon", u"Width", 50), c.read) << c.value;
  }
}

TEST_F(IniStoreTest, BooleanValues) {
  const struct {
    const char* value;
    bool read;
  } cases[] = {{"0", false},   {"00", false}, {"$0", false},  {"1", true},
               {"2", true},    {"-1", true},  {"0x10", true}, {"false", true},
               {"true", true}, {"yes", true}, {"", true}};
  for (const auto& c : cases) {
    TIniStore ini = StoreWith("[Icon]\r\nShadow="s + c.value + "\r\n");
    EXPECT_EQ(ini.ReadBool(u"Icon", u"Shadow", true), c.read) << c.value;
  }
  TIniStore ini = StoreWith("[Icon]\r\nShadow=maybe\r\n");
  EXPECT_FALSE(ini.ReadBool(u"Icon", u"Shadow", false));
}

TEST_F(IniStoreTest, NamesMatchWithoutCaseAndKeepTheirCaseFromTheFile) {
  TIniStore ini = StoreWith("[ICON]\r\nSHADOW = 0\r\n[ Form ]\r\nTOP=7\r\n");
  EXPECT_FALSE(ini.ReadBool(u"Icon", u"Shadow", true));
  EXPECT_EQ(ini.ReadInteger(u"form", u"top", 100), 7);
  ini.WriteBool(u"Icon", u"Shadow", true);
  EXPECT_EQ(FileBytes(), "[ICON]\r\nSHADOW=1\r\n\r\n[Form]\r\nTOP=7\r\n\r\n");
}

TEST_F(IniStoreTest, NonAsciiNamesFoldWithUnicodeCaseMapping) {
  TIniStore ini = StoreWith("\xEF\xBB\xBF[\xC3\x84rger]\r\n\xC3\xA9t\xC3\xA9=5\r\n");
  EXPECT_EQ(ini.ReadInteger(u"\u00E4RGER", u"\u00C9T\u00C9", 0), 5);
}

TEST_F(IniStoreTest, LastMatchingLineCountsForReadingAndWriting) {
  TIniStore ini = StoreWith("[Form]\r\nTop=10\r\nTop=20\r\n");
  EXPECT_EQ(ini.ReadInteger(u"Form", u"Top", 100), 20);
  ini.WriteInteger(u"Form", u"Top", 5);
  EXPECT_EQ(FileBytes(), "[Form]\r\nTop=10\r\nTop=5\r\n\r\n");

  TIniStore valueless = StoreWith("[Form]\r\nTop=10\r\nTop\r\n");
  EXPECT_EQ(valueless.ReadInteger(u"Form", u"Top", 100), 100);
  valueless.WriteInteger(u"Form", u"Top", 3);
  EXPECT_EQ(FileBytes(), "[Form]\r\nTop=10\r\nTop=3\r\n\r\n");
}

TEST_F(IniStoreTest, HeadersMustEndInABracketAndLinesBeforeTheFirstAreDropped) {
  TIniStore ini = StoreWith(
      "[Form] ; main window\r\nTop=1\r\n[Form]\r\n[Form] ; main window\r\n  a = b = c \r\n"
      "[]\r\nk=v\r\n[form]\r\nLeft=2\r\n");
  EXPECT_EQ(ini.ReadInteger(u"Form", u"Top", 100), 100);
  EXPECT_EQ(ini.ReadInteger(u"Form", u"Left", 100), 2);
  ini.UpdateIniFile();
  EXPECT_EQ(FileBytes(),
            "[Form]\r\n[Form] ; main window\r\na=b = c\r\nLeft=2\r\n\r\n[]\r\nk=v\r\n\r\n");
}

TEST_F(IniStoreTest, FileInAnyEncodingIsRewrittenInTheLegacyCodePage) {
  const std::string utf16 = "\xFF\xFE[\0I\0c\0o\0n\0]\0\r\0\n\0W\0i\0d\0t\0h\0=\0\x39\0\x39\0"s;
  for (const std::string& bytes : {utf16, "\xEF\xBB\xBF[Icon]\nWidth=99"s}) {
    TIniStore ini = StoreWith(bytes);
    EXPECT_EQ(ini.ReadInteger(u"Icon", u"Width", 50), 99);
    ini.UpdateIniFile();
    EXPECT_EQ(FileBytes(), "[Icon]\r\nWidth=99\r\n\r\n");
  }
}

TEST_F(IniStoreTest, Utf8CodePageWritesTheSignatureAndUnrepresentableTextFallsBackToIt) {
  {
    platform::ScopedCodePage utf8(65001);
    TIniStore ini = StoreWith("");
    ini.WriteInteger(u"Form", u"Top", 1);
    EXPECT_EQ(FileBytes(), "\xEF\xBB\xBF[Form]\r\nTop=1\r\n\r\n");
  }
  TIniStore ini = StoreWith("\xEF\xBB\xBF[Other]\r\nName=\xE2\x98\x83\r\n");
  ini.WriteInteger(u"Form", u"Top", 1);
  EXPECT_EQ(FileBytes(), "\xEF\xBB\xBF[Other]\r\nName=\xE2\x98\x83\r\n\r\n[Form]\r\nTop=1\r\n\r\n");
}

TEST_F(IniStoreTest, UndecodableFileFailsTheFirstReadAndStaysUnopened) {
  TIniStore ini = StoreWith("\xEF\xBB\xBF[Form]\r\nTop=\xFF\r\n");
  EXPECT_THROW(ini.ReadInteger(u"Form", u"Top", 100), EEncodingError);
  EXPECT_EQ(ini.Document(), nullptr);
  test::WriteBytes(file_, "[Form]\r\nTop=7\r\n");  // still to be opened: the next read sees this
  EXPECT_EQ(ini.ReadInteger(u"Form", u"Top", 100), 7);
}

#ifndef _WIN32
TEST_F(IniStoreTest, UnreadableFileIsTheOpenError) {
  TIniStore ini = StoreWith("[Form]\r\n");
  std::filesystem::permissions(file_, std::filesystem::perms::none);
  test::AsUnprivilegedUser(dir_.path(), [&] {
    try {
      ini.ReadInteger(u"Form", u"Top", 100);
      ADD_FAILURE() << "read";
    } catch (const EFOpenError& e) {
      EXPECT_EQ(e.Message(), "ファイル " + file_ + " は開けません。 Permission denied ");
    }
  });
}
#endif

TEST_F(IniStoreTest, ReadOnlyFileReadsButTheFirstWriteFailsAndLeavesItAsItWas) {
  const std::string original = "[Form]\r\nTop=5\r\n";
  TIniStore ini = StoreWith(original);
  test::SetReadOnly(file_);
  Settings s = Load(ini);
  EXPECT_EQ(s.Top, 5);
  s.Top = 9;
  try {
    Save(ini, s);
    ADD_FAILURE() << "saved";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "ファイル \"" + file_ + "\" を作成できません。" +
                               test::FailureText(test::Failure::Denied));
  }
  EXPECT_EQ(FileBytes(), original);
  EXPECT_EQ(ini.ReadInteger(u"Form", u"Top", 0), 9);   // the memory copy took the value
  EXPECT_EQ(ini.ReadInteger(u"Form", u"Left", 0), 0);  // the later ones were never written
}

TEST_F(IniStoreTest, ThePathOpensOnceAndReopensOnlyWhenItChanges) {
  TIniStore ini = StoreWith("[Form]\r\nTop=1\r\n");
  EXPECT_EQ(ini.ReadInteger(u"Form", u"Top", 0), 1);
  test::WriteBytes(file_, "[Form]\r\nTop=2\r\n");
  ini.SetPath(test::U16(file_));
  EXPECT_EQ(ini.ReadInteger(u"Form", u"Top", 0), 1);  // edits made meanwhile are not seen
  test::WriteBytes(dir_.Native("other.ini"), "[Form]\r\nTop=3\r\n");
  ini.SetPath(dir_.File("other.ini"));
  EXPECT_EQ(ini.ReadInteger(u"Form", u"Top", 0), 3);
}

}  // namespace
}  // namespace kavo
