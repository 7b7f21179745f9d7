#include "bindings/key_list.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/errors.h"

namespace kavo {
namespace {

using Lines = std::vector<std::u16string>;

KeyList ListOf(const Lines& lines) {
  KeyList list;
  for (const auto& line : lines) list.Add(line);
  return list;
}

void ExpectIndexError(const std::function<void()>& action, const std::string& index) {
  try {
    action();
    ADD_FAILURE() << "no index error";
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "リストのインデックスが範囲を超えています (" + index + ")");
  }
}

TEST(KeyList, ReadsAddsAndDeletesByIndex) {
  KeyList list = ListOf({u"a", u"b", u"a"});
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Line(2), u"a");
  list.Delete(0);
  EXPECT_EQ(list.Lines(), (Lines{u"b", u"a"}));
  list.Add(u"");
  EXPECT_EQ(list.Lines(), (Lines{u"b", u"a", u""}));
}

TEST(KeyList, IndexErrorsNameTheIndexAndChangeNothing) {
  KeyList list = ListOf({u"a", u"b"});
  ExpectIndexError([&] { list.Line(2); }, "2");
  ExpectIndexError([&] { list.Line(-1); }, "-1");
  ExpectIndexError([&] { list.Delete(2); }, "2");
  ExpectIndexError([&] { list.Delete(-1); }, "-1");
  ExpectIndexError([&] { list.Move(5, 0); }, "5");
  ExpectIndexError([&] { list.Move(-1, 1); }, "-1");
  EXPECT_EQ(list.Lines(), (Lines{u"a", u"b"}));
}

TEST(KeyList, MovesALineToItsNewPlace) {
  struct Case {
    int from, to;
    Lines after;
  };
  const Case cases[] = {
      {0, 2, {u"b", u"c", u"a", u"d"}},  {3, 1, {u"a", u"d", u"b", u"c"}},
      {1, 2, {u"a", u"c", u"b", u"d"}},  {2, 2, {u"a", u"b", u"c", u"d"}},
      {9, 9, {u"a", u"b", u"c", u"d"}},  // equal indexes: nothing, not even a check
      {1, 7, {u"a", u"c", u"d", u"b"}},  // past the end: the line goes last, never lost
      {2, -4, {u"c", u"a", u"b", u"d"}},
  };
  for (const Case& c : cases) {
    KeyList list = ListOf({u"a", u"b", u"c", u"d"});
    list.Move(c.from, c.to);
    EXPECT_EQ(list.Lines(), c.after) << c.from << " -> " << c.to;
  }
}

// Deleted lines leave their text behind until most of it is dead; the lines left, their order
// and what is added afterwards must survive that clean-up.
TEST(KeyList, ManyDeletesBetweenAddsAndMovesKeepEveryLiveLine) {
  KeyList list;
  Lines expected;
  for (int i = 0; i < 3000; ++i) {
    const std::u16string line =
        u"Line " + std::u16string(i % 7, u'x') + u"," + char16_t(u'A' + i % 26);
    list.Add(line);
    expected.push_back(line);
    if (i % 3 != 0) {
      list.Delete(list.Count() - 2 >= 0 ? list.Count() - 2 : 0);
      expected.erase(expected.end() - (expected.size() >= 2 ? 2 : 1));
    }
    if (i % 50 == 0) {
      list.Move(0, list.Count() - 1);
      std::rotate(expected.begin(), expected.begin() + 1, expected.end());
    }
  }
  EXPECT_EQ(list.Lines(), expected);
}

TEST(KeyList, DefaultBindingsAreTheFourInOrder) {
  EXPECT_EQ(DefaultBindings(),
            (Lines{u"Undo,Ctrl,Z", u"Cut,Ctrl,X", u"Copy,Ctrl,C", u"Past,Ctrl,V"}));
}

}  // namespace
}  // namespace kavo
