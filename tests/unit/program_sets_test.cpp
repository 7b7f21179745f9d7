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

}  // namespace
}  // namespace kavo
