// Follow, chosen from the menu on a real desktop: each program's window the user brings to the
// front takes the next click's keys, with its program's own set, and the choice outlives the
// bar.

#include "e2e_fixture.h"

namespace kavo::e2e {
namespace {

using namespace std::chrono_literals;

using FollowTest = DesktopTest;

const Events kUndo = Chord("Control_L", "z");

TEST_F(FollowTest, EachWindowBroughtForwardTakesTheNextClickAndTheBarsOwnWindowsNever) {
  test::WriteBytes(folder_ + "/KavoKey.txt", "Undo,Ctrl,Z\r\n");
  test::WriteBytes(folder_ + "/KavoKey.paint.txt", "Pan,Space\r\nBrush,B\r\n");
  {
    auto bar = StartBar();
    ChooseFromMenu(3);  // Follow
    Sh("wmctrl -i -c " + bar_);
    ASSERT_EQ(bar->Wait(kPatience), 0) << bar->Errors();
  }
  EXPECT_NE(test::ReadBytes(folder_ + "/Kavo.ini").find("[Target]\r\nFollow=1\r\n"),
            std::string::npos);

  auto bar = StartBar();  // following, as the settings file says
  // Where the paint set's second button stands; the other set has one button only.
  const std::string noSecondButton = PixelAt(ButtonX(1), kButtonY - 8);
  const auto showsPaintsSet = [&] { return PixelAt(ButtonX(1), kButtonY - 8) != noSecondButton; };

  auto editor = StartTarget("Editor", 100, 400, "", {"class=Editor"});
  ClickAt(ButtonX(0), kButtonY);
  EXPECT_EQ(AwaitReceived("Editor", 4), kUndo);

  auto paint = StartTarget("Paint", 600, 400, "", {"class=Paint"});
  ASSERT_TRUE(WaitUntil(showsPaintsSet)) << "the paint set did not come with its window";
  ClickAt(ButtonX(1), kButtonY);  // Brush
  EXPECT_EQ(AwaitReceived("Paint", 2), (Events{"press b", "release b"}));

  auto notes = StartTarget("Notes", 350, 250, "", {"class=Notes"});
  ASSERT_TRUE(WaitUntil([&] { return !showsPaintsSet(); }));
  ClickAt(ButtonX(0), kButtonY);
  EXPECT_EQ(AwaitReceived("Notes", 4), kUndo);

  // The settings window in front is the bar's own: the keys still go where the user worked.
  ChooseFromMenu(0);
  std::string settings;
  ASSERT_TRUE(WaitUntil([&] { return !(settings = FindWindow("^Settings$")).empty(); }));
  ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == settings; }));
  const std::size_t before = Received("Notes").size();
  ClickAt(ButtonX(0), kButtonY);
  const Events toNotes = AwaitReceived("Notes", before + 4);
  EXPECT_EQ(Events(toNotes.begin() + static_cast<long>(before), toNotes.end()), kUndo);
  Sh("wmctrl -i -c " + settings);

  // A click into the editor, back behind the others, brings it forward: the next target.
  ClickAt(150, 450);
  ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == TargetWindow("Editor"); }));
  ClickAt(ButtonX(0), kButtonY);
  EXPECT_EQ(AwaitReceived("Editor", 8).size(), 8u);
  EXPECT_EQ(Received("Paint").size(), 2u);
  EXPECT_EQ(Received("Notes").size(), toNotes.size());
}

}  // namespace
}  // namespace kavo::e2e
