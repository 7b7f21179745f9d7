// Moving and resizing the bar, its menu, and the settings window, as a person uses them.

#include <signal.h>

#include <filesystem>
#include <sstream>

#include "e2e_fixture.h"

namespace kavo::e2e {
namespace {

using namespace std::chrono_literals;

class WindowTest : public DesktopTest {
 protected:
  // Windows of the bar's process other than the bar: its menu, its settings window.
  std::vector<std::string> OtherWindows(pid_t pid) const {
    std::vector<std::string> ids;
    std::istringstream in(Sh("xdotool search --onlyvisible --pid " + std::to_string(pid)));
    for (std::string id; std::getline(in, id);) {
      if (id != bar_) ids.push_back(id);
    }
    return ids;
  }
};

TEST_F(WindowTest, DraggingTheGreenSquareMovesTheBarByThePointersDisplacement) {
  auto bar = StartBar();
  const Geometry before = Bar();
  ASSERT_EQ(before, (Geometry{100, 100, 250, 130}));
  DragFromTo(before.x + 240, before.y + 10, before.x + 270, before.y + 20);
  EXPECT_TRUE(WaitUntil(
      [&] {
        return Bar() == Geometry{130, 110, 250, 130};
      },
      3s))
      << Bar().x << "," << Bar().y;
}

TEST_F(WindowTest, PressesOnSeeThroughPartsReachTheWindowBelow) {
  auto below = StartTarget("Below", 200, 160);  // under the bar's empty lower right
  auto bar = StartBar();
  auto other = StartTarget("Other", 600, 450);
  ASSERT_EQ(ActiveWindow(), TargetWindow("Other"));
  ClickAt(320, 210);  // inside the bar's rectangle, where nothing of it is drawn
  EXPECT_TRUE(WaitUntil([&] { return ActiveWindow() == TargetWindow("Below"); }));
  EXPECT_EQ(Bar(), (Geometry{100, 100, 250, 130}));  // and the bar did not start a drag
}

TEST_F(WindowTest, ResizeModeResizesFromTheButtonAreaAndNormalModeKeepsTheResult) {
  auto bar = StartBar();
  ChooseFromMenu(1);               // ReSize
  DragFromTo(300, 200, 340, 180);  // an empty part of the button area, 40 right and 20 up
  EXPECT_TRUE(WaitUntil(
      [&] {
        return Bar() == Geometry{100, 100, 290, 110};
      },
      3s))
      << Bar().width << "x" << Bar().height;
  ChooseFromMenu(1);  // back to normal
  EXPECT_EQ(Bar(), (Geometry{100, 100, 290, 110}));
  bar->Signal(SIGTERM);
  EXPECT_EQ(bar->Wait(kPatience), 0);
  const std::string saved = test::ReadBytes(folder_ + "/Kavo.ini");
  EXPECT_NE(saved.find("Height=110\r\nWidth=290\r\n"), std::string::npos) << saved;
}

TEST_F(WindowTest, TheSmallestBarResizesFromItsCornerThoughItsButtonFillsIt) {
  auto bar = StartBar("[Form]\r\nTop=100\r\nLeft=100\r\nWidth=40\r\nHeight=44\r\n");
  ASSERT_EQ(Bar(), (Geometry{100, 100, 40, 44}));
  ChooseFromMenu(1);               // ReSize
  DragFromTo(137, 141, 237, 181);  // from the corner, over the first button
  EXPECT_TRUE(WaitUntil(
      [&] {
        return Bar() == Geometry{100, 100, 140, 84};
      },
      3s))
      << Bar().width << "x" << Bar().height;
}

TEST_F(WindowTest, MenuOpensAtTheBarsCornerAndStaysOnScreen) {
  auto bar = StartBar("[Form]\r\nTop=100\r\nLeft=100\r\n");
  ClickAt(110, 110);
  std::vector<std::string> menus;
  ASSERT_TRUE(WaitUntil([&] { return !(menus = OtherWindows(bar->pid())).empty(); }));
  const Geometry menu = WindowGeometry(menus.front());
  EXPECT_EQ(menu.x, 100);
  EXPECT_EQ(menu.y, 100);
  Sh("xdotool key Escape");

  bar->Signal(SIGTERM);
  bar->Wait(kPatience);
  auto corner = StartBar("[Form]\r\nTop=740\r\nLeft=1000\r\nWidth=250\r\n");
  const Geometry g = Bar();
  ClickAt(g.x + 10, g.y + 10);
  ASSERT_TRUE(WaitUntil([&] { return !(menus = OtherWindows(corner->pid())).empty(); }));
  const Geometry moved = WindowGeometry(menus.front());
  EXPECT_EQ(moved.x + moved.width, 1024);  // ends at the screen's right edge
  EXPECT_EQ(moved.y + moved.height, 768);  // and at its bottom
  Sh("xdotool key Escape");
}

TEST_F(WindowTest, BindingAddedInTheSettingsWindowTypesItsKeysAfterApply) {
  auto target = StartTarget("Target");
  auto bar = StartBar();
  ClickAt(125, 136);  // Undo: takes the target
  AwaitReceived("Target", 4);

  AddF1BindingInTheSettings("Help");
  EXPECT_EQ(test::ReadBytes(folder_ + "/KavoKey.txt"),
            "\xEF\xBB\xBFUndo,Ctrl,Z\r\nCut,Ctrl,X\r\nCopy,Ctrl,C\r\nPast,Ctrl,V\r\nHelp,F1\r\n");

  // The menu was driven with the keyboard: a stray release of Return may reach the target.
  const std::size_t before = Received("Target").size();
  ClickAt(125, 163);  // the new fifth button, first in the second row
  const auto received = AwaitReceived("Target", before + 2);
  EXPECT_EQ(std::vector<std::string>(received.begin() + static_cast<long>(before), received.end()),
            (std::vector<std::string>{"press F1", "release F1"}));
}

}  // namespace
}  // namespace kavo::e2e
