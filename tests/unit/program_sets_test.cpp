// The program name a set of buttons is filed under.

#include "bindings/program_sets.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace kavo {
namespace {

TEST(ProgramName, LowerCaseWithEverythingElseMadeAnUnderscore) {
  const struct {
    std::u16string_view raw;
    std::u16string_view name;
  } cases[] = {
      {u"krita", u"krita"},
      {u"Krita", u"krita"},
      {u"Inkscape", u"inkscape"},
      {u"org.inkscape.Inkscape", u"org.inkscape.inkscape"},
      {u"Google-chrome", u"google-chrome"},
      {u"CLIP STUDIO PAINT", u"clip_studio_paint"},
      {u"gimp-2.10", u"gimp-2.10"},
      {u"my_app", u"my_app"},
      {u"Paint/../x", u"paint_.._x"},
      {u"\u30AF\u30EA\u30C3\u30D7", u"____"},  // non-ASCII: one "_" each
      {u"a\U0001F58Cb", u"a_b"},               // a character beyond the basic plane
      {u"\u00C9dition", u"_dition"},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgramName(c.raw), c.name) << test::U8(c.raw);
  EXPECT_EQ(SetFileName(u"krita"), u"KavoKey.krita.txt");
}

// The target's program changing: a set where it has one, the base file where it has none, and
// nothing at all for the same program again or for the file already in use.
TEST(KeySetChoice, FollowsTheProgramBetweenItsSetAndTheBaseFile) {
  test::TempDir dir;
  const std::u16string home = test::U16(dir.path() + "/");
  test::WriteBytes(dir.Native("KavoKey.krita.txt"), "Pan,Space\r\n");
  const std::u16string base = home + u"KavoKey.txt", krita = home + u"KavoKey.krita.txt";
  KeySetChoice choice(home, base);
  EXPECT_EQ(choice.ForProgram(u"Krita", base), krita);
  EXPECT_EQ(choice.SetShown(krita), u"KavoKey.krita.txt");
  EXPECT_EQ(choice.ForProgram(u"krita", krita), std::nullopt);  // the same program
  EXPECT_EQ(choice.ForProgram(u"Gimp", krita), base);
  EXPECT_EQ(choice.SetShown(base), u"");
  EXPECT_EQ(choice.SetFileOfProgram(), home + u"KavoKey.gimp.txt");
  EXPECT_EQ(choice.ForProgram(u"Inkscape", base), std::nullopt);  // the file already in use
  EXPECT_EQ(choice.ForProgram(u"", base), std::nullopt);
  EXPECT_EQ(choice.SetFileOfProgram(), u"");
  choice.ChooseBase(home + u"mine.txt");  // opened by the user
  EXPECT_EQ(choice.ForProgram(u"Gimp", base), home + u"mine.txt");
}

}  // namespace
}  // namespace kavo
