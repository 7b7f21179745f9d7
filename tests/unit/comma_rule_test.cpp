#include "bindings/comma_rule.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace kavo {
namespace {

using test::U16;
using Fields = std::vector<std::u16string>;

struct SplitCase {
  std::u16string line;
  Fields fields;
};

class SplitFieldsTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitFieldsTest, GivesTheFields) {
  EXPECT_EQ(SplitFields(GetParam().line), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, SplitFieldsTest,
    testing::Values(SplitCase{u"Undo,Ctrl,Z", {u"Undo", u"Ctrl", u"Z"}},
                    SplitCase{u"Redo,Ctrl,Shift,Z", {u"Redo", u"Ctrl", u"Shift", u"Z"}},
                    SplitCase{u"", {}}, SplitCase{u"Help", {u"Help"}},
                    SplitCase{u"Undo, Ctrl, Z", {u"Undo", u" Ctrl", u" Z"}},
                    SplitCase{u"Help,F1,", {u"Help", u"F1", u""}}, SplitCase{u",", {u"", u""}},
                    SplitCase{u"X,,Z", {u"X", u"", u"Z"}},
                    SplitCase{u"\"a,b\",Ctrl,Z", {u"a,b", u"Ctrl", u"Z"}},
                    SplitCase{u"\"say \"\"hi\"\"\",Ctrl,Z", {u"say \"hi\"", u"Ctrl", u"Z"}},
                    SplitCase{u"\"ab\"cd,Ctrl", {u"ab", u"cd", u"Ctrl"}},
                    SplitCase{u"\"Half,Ctrl,Z", {u"Half,Ctrl,Z"}},
                    SplitCase{u"\"\",Ctrl,Z", {u"", u"Ctrl", u"Z"}},
                    SplitCase{u"Say \"hi\",Ctrl,Z", {u"Say \"hi\"", u"Ctrl", u"Z"}},
                    // U+0000 ends the line.
                    SplitCase{std::u16string(u"A,B\0,C", 6), {u"A", u"B"}},
                    // A comma passes over combining marks and low surrogates after it; followed by
                    // nothing else, it is the last character and an empty field follows.
                    SplitCase{U16("a,\xCC\x81"
                                  "b"),
                              {u"a", u"b"}},
                    SplitCase{U16("a,\xCC\x81"), {u"a", u""}},
                    SplitCase{std::u16string(u"a,\xDC00z"), {u"a", u"z"}}));

struct JoinCase {
  Fields fields;
  std::u16string line;
};

class JoinFieldsTest : public testing::TestWithParam<JoinCase> {};

TEST_P(JoinFieldsTest, QuotesOnlyWhereNeededAndReadsBack) {
  const std::u16string line = JoinFields(GetParam().fields);
  EXPECT_EQ(line, GetParam().line);
  EXPECT_EQ(SplitFields(line), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Writer, JoinFieldsTest,
    testing::Values(JoinCase{{u"Undo", u"Ctrl", u"Z"}, u"Undo,Ctrl,Z"},
                    JoinCase{{u"Say \"hi\"", u"Ctrl", u"Z"}, u"Say \"hi\",Ctrl,Z"},
                    JoinCase{{u"a,b", u"Ctrl", u"Z"}, u"\"a,b\",Ctrl,Z"},
                    JoinCase{{u"\"Note\"", u"Ctrl", u"Z"}, u"\"\"\"Note\"\"\",Ctrl,Z"},
                    JoinCase{{u"Comma", u"Ctrl", u","}, u"Comma,Ctrl,\",\""},
                    JoinCase{{u"Comma", u","}, u"Comma,\",\""},
                    JoinCase{{u"", u"Ctrl", u"Z"}, u",Ctrl,Z"},
                    JoinCase{{u"Help", u"F1", u""}, u"Help,F1,"}, JoinCase{{u""}, u"\"\""},
                    JoinCase{{u"a", U16("\xCC\x81")}, U16("a,\"\xCC\x81\"")}));

}  // namespace
}  // namespace kavo
