// A set of buttons per program on a real desktop: the bar switches to the target program's own
// key file, found by its WM_CLASS, and saves one for it.

#include "e2e_fixture.h"

namespace kavo::e2e {
namespace {

using namespace std::chrono_literals;

using ProgramSetsTest = DesktopTest;

TEST_F(ProgramSetsTest, EachProgramShowsItsOwnSetAndSavingOneWritesItBesideTheOtherFiles) {
  test::WriteBytes(folder_ + "/KavoKey.txt", "Undo,Ctrl,Z\r\n");
  test::WriteBytes(folder_ + "/KavoKey.paint.txt", "\xEF\xBB\xBFPan,Space\r\nBrush,B\r\n");
  auto editor = StartTarget("Editor", 100, 400, "", {"class=Editor"});
  auto paint = StartTarget("Paint", 600, 400, "", {"class=Paint"});
  auto bar = StartBar();  // the window in front at start is passed over

  Activate(TargetWindow("Editor"));  // a program without a set: the key file in use
  ASSERT_TRUE(WaitUntil([&] { return Sh("xdotool getwindowname " + bar_) == "Form1"; }));
  ClickAt(ButtonX(0), kButtonY);
  EXPECT_EQ(AwaitReceived("Editor", 4), Chord("Control_L", "z"));

  // Where the paint set's second button stands; the editor's set has one button only.
  const std::string noSecondButton = PixelAt(ButtonX(1), kButtonY - 8);
  ChooseFromMenu(2);  // ReAcquire
  Activate(TargetWindow("Paint"));
  ASSERT_TRUE(WaitUntil([&] { return PixelAt(ButtonX(1), kButtonY - 8) != noSecondButton; }));
  ClickAt(ButtonX(1), kButtonY);  // the set's second button: Brush
  EXPECT_EQ(AwaitReceived("Paint", 2), (Events{"press b", "release b"}));

  // The editor's own set, saved from the menu, to the byte.
  ChooseFromMenu(2);
  Activate(TargetWindow("Editor"));
  ASSERT_TRUE(WaitUntil([&] { return PixelAt(ButtonX(1), kButtonY - 8) == noSecondButton; }));
  ChooseFromMenu(6);  // SaveKeyBindForApp, enabled for a target with a program name
  ASSERT_TRUE(WaitUntil([&] { return !test::ReadBytes(folder_ + "/KavoKey.editor.txt").empty(); }));
  // As a save of the list writes it: the locale's code page is UTF-8, so with its signature.
  EXPECT_EQ(test::ReadBytes(folder_ + "/KavoKey.editor.txt"), "\xEF\xBB\xBFUndo,Ctrl,Z\r\n");
}

}  // namespace
}  // namespace kavo::e2e
