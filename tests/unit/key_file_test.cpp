// Reading and writing key files: signatures, encodings, line ends and failures.

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/errors.h"
#include "bindings/key_list.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "test_support.h"

namespace kavo {
namespace {

using test::U16;
using Lines = std::vector<std::u16string>;
using namespace std::string_literals;

class KeyFileTest : public testing::Test {
 protected:
  std::u16string Write(std::string_view bytes) {
    test::WriteBytes(dir_.Native("keys.txt"), bytes);
    return dir_.File("keys.txt");
  }
  std::string Saved(const KeyList& list) {
    list.SaveToFile(dir_.File("out.txt"));
    return test::ReadBytes(dir_.Native("out.txt"));
  }

  platform::ScopedCodePage codePage_{1252};
  test::TempDir dir_;
};

struct LoadCase {
  const char* name;
  std::string bytes;
  Lines lines;
  TextEncoding encoding;
};

TEST_F(KeyFileTest, LoadsLinesByEncodingAndLineEnds) {
  const LoadCase cases[] = {
      {"utf8 signature", "\xEF\xBB\xBFUndo,Ctrl,Z\r\n", {u"Undo,Ctrl,Z"}, TextEncoding::Utf8},
      {"utf8 text", "\xEF\xBB\xBF\xE5\x85\x83,Ctrl,Z", {u"\u5143,Ctrl,Z"}, TextEncoding::Utf8},
      {"utf16le",
       "\xFF\xFE"
       "A\0\r\0\n\0B\0"s,
       {u"A", u"B"},
       TextEncoding::Utf16LE},
      {"utf16be", "\xFE\xFF\0A\0\n\x51\x43"s, {u"A", u"\u5143"}, TextEncoding::Utf16BE},
      {"utf16 odd last byte",
       "\xFF\xFE"
       "A\0B"s,
       {u"A"},
       TextEncoding::Utf16LE},
      {"mixed line ends", "A\nB\r\nC\rD", {u"A", u"B", u"C", u"D"}, TextEncoding::Ansi},
      {"LF CR is two ends", "A\n\rB", {u"A", u"", u"B"}, TextEncoding::Ansi},
      {"final empty line", "A\r\n\r\n", {u"A", u""}, TextEncoding::Ansi},
      {"empty line inside", "A\r\n\r\nB", {u"A", u"", u"B"}, TextEncoding::Ansi},
      {"no final line end", "A\r\nB", {u"A", u"B"}, TextEncoding::Ansi},
      {"NUL ends the text", "A\r\nB\0C\r\nD"s, {u"A", u"B"}, TextEncoding::Ansi},
      {"NUL after a line end", "Undo,Ctrl,Z\r\n\0junk\r\n"s, {u"Undo,Ctrl,Z"}, TextEncoding::Ansi},
      {"NUL alone", "\0"s, {}, TextEncoding::Ansi},
      {"utf8 NUL after a line end",
       "\xEF\xBB\xBF"
       "A\n\0B"s,
       {u"A"},
       TextEncoding::Utf8},
      {"utf16 NUL after a line end",
       "\xFF\xFE"
       "A\0\n\0\0\0B\0"s,
       {u"A"},
       TextEncoding::Utf16LE},
      {"utf16 without signature", "U\0n\0d\0o\0"s, {u"U"}, TextEncoding::Ansi},
      {"empty file", "", {}, TextEncoding::Ansi},
      {"signature only", "\xEF\xBB\xBF", {}, TextEncoding::Utf8},
      {"utf16 signature only", "\xFE\xFF", {}, TextEncoding::Utf16BE},
      {"cp1252 text", "Caf\xE9,Ctrl,Z", {u"Caf\u00E9,Ctrl,Z"}, TextEncoding::Ansi},
      {"utf8 read as cp1252", "\xC3\xA9", {u"\u00C3\u00A9"}, TextEncoding::Ansi},
      {"cut-off signature", "\xEF\xBB", {u"\u00EF\u00BB"}, TextEncoding::Ansi},
  };
  for (const LoadCase& c : cases) {
    KeyList list;
    list.Add(u"old");
    list.LoadFromFile(Write(c.bytes));
    EXPECT_EQ(list.Lines(), c.lines) << c.name;
    EXPECT_EQ(list.Encoding(), c.encoding) << c.name;
  }
}

TEST_F(KeyFileTest, UndecodableBodyKeepsTheLinesButRemembersTheEncoding) {
  const struct {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
  } cases[] = {
      {"overlong",
       "\xEF\xBB\xBF"
       "A\xC0\xAF",
       TextEncoding::Utf8},
      {"surrogate", "\xEF\xBB\xBF\xED\xA0\x80", TextEncoding::Utf8},
      {"beyond U+10FFFF", "\xEF\xBB\xBF\xF4\x90\x80\x80", TextEncoding::Utf8},
      {"cut short", "\xEF\xBB\xBFok\xE3\x81", TextEncoding::Utf8},
      {"lone continuation", "\xEF\xBB\xBF\x80", TextEncoding::Utf8},
      {"utf16 single byte",
       "\xFF\xFE"
       "A",
       TextEncoding::Utf16LE},
      {"utf16be single byte",
       "\xFE\xFF"
       "A",
       TextEncoding::Utf16BE},
  };
  for (const auto& c : cases) {
    KeyList list;
    list.Add(u"kept");
    try {
      list.LoadFromFile(Write(c.bytes));
      ADD_FAILURE() << c.name << ": loaded";
    } catch (const EEncodingError& e) {
      EXPECT_EQ(e.Message(),
                "Unicode 文字のマッピングがターゲットのマルチバイト コード ページに存在しません");
    }
    EXPECT_EQ(list.Lines(), Lines{u"kept"}) << c.name;
    EXPECT_EQ(list.Encoding(), c.encoding) << c.name;
  }
}

TEST_F(KeyFileTest, UnopenableFileIsTheOpenErrorWithTheFullPath) {
  KeyList list;
  list.Add(u"kept");
  const std::u16string missing = dir_.File("missing.txt");
  try {
    list.LoadFromFile(missing);
    ADD_FAILURE() << "loaded";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "ファイル " + dir_.Native("missing.txt") + " は開けません。 " +
                               test::FailureText(test::Failure::NoSuchFile) + " ");
  }
  try {
    list.LoadFromFile(U16(dir_.path()));
    ADD_FAILURE() << "loaded a folder";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "ファイル " + dir_.path() + " は開けません。 " +
                               test::FailureText(test::Failure::OpenFolder) + " ");
  }
  EXPECT_EQ(list.Lines(), Lines{u"kept"});
  EXPECT_EQ(list.Encoding(), TextEncoding::None);
}

// A FIFO would wait for a writer for ever, /dev/zero never ends: only regular files are read,
// up to a bound far above any key file.
TEST_F(KeyFileTest, WhatIsNoRegularFileOrTooLargeIsTheOpenError) {
  const std::string tooLarge = dir_.Native("huge.txt");
  test::WriteBytes(tooLarge, "");
  std::filesystem::resize_file(tooLarge, platform::kMaxReadBytes + 1);
  struct Case {
    std::string path;
    test::Failure failure;
  };
  std::vector<Case> cases = {{tooLarge, test::Failure::TooLarge}};
#ifndef _WIN32
  ASSERT_EQ(::mkfifo(dir_.Native("fifo.txt").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", dir_.Native("zero.txt"));
  cases.push_back({dir_.Native("fifo.txt"), test::Failure::NotAFile});
  cases.push_back({dir_.Native("zero.txt"), test::Failure::NotAFile});
  cases.push_back({"/dev/null", test::Failure::NotAFile});
#endif
  for (const Case& c : cases) {
    KeyList list;
    list.Add(u"kept");
    try {
      list.LoadFromFile(U16(c.path));
      ADD_FAILURE() << c.path << ": loaded";
    } catch (const EFOpenError& e) {
      EXPECT_EQ(e.Message(),
                "ファイル " + c.path + " は開けません。 " + test::FailureText(c.failure) + " ");
    }
    EXPECT_EQ(list.Lines(), Lines{u"kept"}) << c.path;
  }
}

TEST_F(KeyFileTest, AFileOfExactlyTheBoundIsRead) {
  const std::string path = dir_.Native("big.txt");
  test::WriteBytes(path, "");
  std::filesystem::resize_file(path, platform::kMaxReadBytes);
  std::string bytes;
  EXPECT_EQ(platform::ReadWholeFile(dir_.File("big.txt"), bytes), 0);
  EXPECT_EQ(bytes.size(), platform::kMaxReadBytes);
}

TEST_F(KeyFileTest, RelativePathIsMadeAbsoluteInTheMessage) {
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  KeyList list;
  try {
    list.LoadFromFile(u"sub/../gone.txt");
    ADD_FAILURE() << "loaded";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "ファイル " + dir_.Native("gone.txt") + " は開けません。 " +
                               test::FailureText(test::Failure::NoSuchFile) + " ");
  }
  std::filesystem::current_path(cwd);
}

TEST_F(KeyFileTest, SavingWritesBackTheBytesItLoaded) {
  const std::string files[] = {
      "\xEF\xBB\xBFUndo,Ctrl,Z\r\n",
      "\xEF\xBB\xBF\xE5\x85\x83,Ctrl,Z\r\n\r\nB\r\n",
      "\xEF\xBB\xBF\xF0\x9F\x98\x80,Alt,\xC3\xA9\r\n",
      "\xFF\xFE"
      "A\0,\0\r\0\n\0"s,
      "\xFE\xFF\0A\0,\x51\x43\0\r\0\n"s,
      "Caf\xE9,Ctrl,Z\r\nCut,Ctrl,X\r\n",
  };
  for (const std::string& bytes : files) {
    KeyList list;
    list.LoadFromFile(Write(bytes));
    EXPECT_EQ(Saved(list), bytes);
  }
}

TEST_F(KeyFileTest, EveryLineEndsInCrLfAndTheSignatureIsAlwaysWritten) {
  const struct {
    std::string loaded;
    std::string saved;
  } cases[] = {
      {"A\nB", "A\r\nB\r\n"},           {"A\rB\r", "A\r\nB\r\n"}, {"", ""},
      {"\xEF\xBB\xBF", "\xEF\xBB\xBF"}, {"\xFF\xFE", "\xFF\xFE"}, {"\xFE\xFF", "\xFE\xFF"},
  };
  for (const auto& c : cases) {
    KeyList list;
    list.LoadFromFile(Write(c.loaded));
    EXPECT_EQ(Saved(list), c.saved);
  }
}

TEST_F(KeyFileTest, AListNeverLoadedSavesInTheLegacyCodePage) {
  KeyList list;
  for (const auto& line : DefaultBindings()) list.Add(line);
  const std::string text = "Undo,Ctrl,Z\r\nCut,Ctrl,X\r\nCopy,Ctrl,C\r\nPast,Ctrl,V\r\n";
  EXPECT_EQ(Saved(list), text);
  {
    platform::ScopedCodePage utf8(65001);
    EXPECT_EQ(Saved(list), "\xEF\xBB\xBF" + text);
    EXPECT_EQ(Saved(KeyList()), "\xEF\xBB\xBF");
  }
  EXPECT_EQ(Saved(KeyList()), "");
  EXPECT_EQ(list.Encoding(), TextEncoding::None);
}

TEST_F(KeyFileTest, JapaneseCodePageReadsAndWritesShiftJis) {
  platform::ScopedCodePage japanese(932);
  const std::string bytes = "\x8C\xB3\x82\xC9\x96\xDF\x82\xB7,Ctrl,Z\r\n";
  KeyList list;
  list.LoadFromFile(Write(bytes));
  EXPECT_EQ(list.Lines(), Lines{U16("元に戻す,Ctrl,Z")});
  EXPECT_EQ(Saved(list), bytes);
}

TEST_F(KeyFileTest, TextTheLegacyCodePageCannotHoldIsSavedAsUtf8NotReplaced) {
  for (const unsigned codePage : {1252u, 932u}) {
    platform::ScopedCodePage pinned(codePage);
    KeyList list;
    list.LoadFromFile(Write("Undo,Ctrl,Z\r\n"));
    list.Add(U16("Ωμέγα ☃,Ctrl,Z"));
    const std::string saved = Saved(list);
    EXPECT_EQ(saved,
              "\xEF\xBB\xBFUndo,Ctrl,Z\r\n\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 "
              "\xE2\x98\x83,Ctrl,Z\r\n")
        << codePage;
    EXPECT_EQ(list.Encoding(), TextEncoding::Ansi);  // the remembered encoding stays

    KeyList reloaded;
    reloaded.LoadFromFile(dir_.File("out.txt"));
    EXPECT_EQ(reloaded.Lines(), list.Lines());
  }
}

// The Japanese code page only approximates these (the yen sign would come back as a backslash):
// written as its bytes, the line would read back changed.
TEST_F(KeyFileTest, TextTheJapaneseCodePageOnlyApproximatesIsSavedAsUtf8) {
  platform::ScopedCodePage japanese(932);
  for (const char* line : {"¥,Ctrl,Z", "¬,Ctrl,Z", "A—B,Ctrl,Z", "〜,Ctrl,Z"}) {
    KeyList list;
    list.LoadFromFile(Write("Undo,Ctrl,Z\r\n"));
    list.Add(U16(line));
    EXPECT_TRUE(Saved(list).starts_with("\xEF\xBB\xBF")) << line;
    KeyList reloaded;
    reloaded.LoadFromFile(dir_.File("out.txt"));
    EXPECT_EQ(reloaded.Lines(), list.Lines()) << line;
  }
}

// Under Windows-1252, "ÿþ" is FF FE: written as they are, such lines would read back as UTF-16.
TEST_F(KeyFileTest, TextThatWouldLookLikeASignatureIsSavedAsUtf8) {
  const struct {
    const char* first;
    bool utf8;
  } cases[] = {{"ÿþUndo,Ctrl,Z", true},
               {"þÿ", true},
               {"ï»¿A,Ctrl,Z", true},
               {"ÿA,Ctrl,Z", false},
               {"ï»A", false}};
  for (const auto& c : cases) {
    KeyList list;
    list.Add(U16(c.first));
    list.Add(u"Cut,Ctrl,X");
    EXPECT_EQ(Saved(list).starts_with("\xEF\xBB\xBF"), c.utf8) << c.first;
    KeyList reloaded;
    reloaded.LoadFromFile(dir_.File("out.txt"));
    EXPECT_EQ(reloaded.Lines(), list.Lines()) << c.first;
  }
}

TEST_F(KeyFileTest, Utf16KeepsUnpairedSurrogates) {
  KeyList list;
  list.LoadFromFile(Write("\xFF\xFE"));
  list.Add(std::u16string(u"x\xD800y"));
  EXPECT_EQ(Saved(list), "\xFF\xFEx\0\x00\xD8y\0\r\0\n\0"s);
}

}  // namespace
}  // namespace kavo
