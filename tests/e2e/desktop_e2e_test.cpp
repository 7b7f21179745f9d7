// The bar on the desktops people use: with and without a compositor, acquiring the window the
// user clicks into, losing a target that closes, screens that shrink, high scale factors.

#include <signal.h>

#include <sstream>

#include "e2e_fixture.h"

namespace kavo::e2e {
namespace {

using namespace std::chrono_literals;

const Events kUndo = Chord("Control_L", "z");
const Events kCopy = Chord("Control_L", "c");
// The title's colour in the strip.
constexpr const char* kCoral = "#FF7F50";

// Each test runs on openbox alone and with a compositor.
class RealDesktopTest : public DesktopTest, public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    if (GetParam()) StartCompositor();
  }
  void TearDown() override {
    StopCompositor();
    DesktopTest::TearDown();
  }
  // The events a target received after the first `from`.
  Events ReceivedAfter(const std::string& name, std::size_t from, std::size_t count) const {
    const Events all = AwaitReceived(name, from + count);
    return Events(all.begin() + static_cast<long>(std::min(from, all.size())), all.end());
  }
  int TitlePixels() const { return CountPixels(126, 100, 200, 20, kCoral); }
};

TEST_P(RealDesktopTest, SeeThroughPartsShowTheWindowBelowAndAClickIntoItMakesItTheTarget) {
  auto below = StartTarget("Below", 200, 160);  // white, under the bar's empty lower right
  auto bar = StartBar();
  EXPECT_TRUE(WaitUntil([] { return PixelAt(110, 110) == "#4169E1"; }));  // the blue square
  EXPECT_EQ(PixelAt(320, 210), "#FFFFFF");  // inside the bar's rectangle, where it draws nothing

  // Below was in front before the bar started, so it is passed over until the user clicks it.
  ClickAt(450, 320);
  auto other = StartTarget("Other", 600, 450);
  ClickAt(ButtonX(0), kButtonY);
  EXPECT_EQ(AwaitReceived("Below", 4), kUndo);
  EXPECT_TRUE(Received("Other").empty());
  EXPECT_GT(TitlePixels(), 0);
}

// A compositor that draws shadows, running before the bar starts, once now and then took the
// see-through bar for an opaque window and showed a dark box where it draws nothing.
TEST_F(DesktopTest, UnderAShadowingCompositorTheBarIsSeeThroughFromItsFirstFrame) {
  StartCompositor(true);
  auto below = StartTarget("Below", 200, 160);  // white, under the bar's empty lower right
  for (int start = 0; start < 6; ++start) {
    auto bar = StartBar();
    EXPECT_TRUE(WaitUntil([] { return PixelAt(320, 210) == "#FFFFFF"; }))
        << "start " << start << ": " << PixelAt(320, 210);
    bar->Signal(SIGTERM);
    bar->Wait(kPatience);
  }
  StopCompositor();
}

TEST_P(RealDesktopTest, AfterReAcquireAClickIntoTheWindowInFrontTakesIt) {
  auto first = StartTarget("First", 400, 250);
  auto bar = StartBar();
  ClickAt(ButtonX(0), kButtonY);  // takes First, in front
  AwaitReceived("First", 4);
  ChooseFromMenu(2);  // ReAcquire; First is still in front
  ASSERT_EQ(ActiveWindow(), TargetWindow("First"));
  ClickAt(500, 400);
  const std::size_t before = Received("First").size();
  auto second = StartTarget("Second", 600, 450);
  ClickAt(ButtonX(2), kButtonY);
  EXPECT_EQ(ReceivedAfter("First", before, 4), kCopy);
  EXPECT_TRUE(Received("Second").empty());
}

// Closing the settings window gives the focus back to the target, which may arrive after the
// user chose ReAcquire: that is the bar's doing, and the window the user brings forward next is
// the one taken.
TEST_P(RealDesktopTest, ReAcquireRightAfterTheSettingsWindowTakesTheWindowTheUserBringsForward) {
  auto first = StartTarget("First", 400, 250);
  auto second = StartTarget("Second", 600, 450);
  auto bar = StartBar();
  ClickAt(500, 350);  // into First
  ClickAt(ButtonX(0), kButtonY);
  AwaitReceived("First", 4);
  const struct {
    const char* name;
    int x, y;
  } rounds[] = {{"Second", 700, 550}, {"First", 500, 300}, {"Second", 700, 550}};
  for (const auto& round : rounds) {
    ChooseFromMenu(0);  // Settings
    std::string settings;
    ASSERT_TRUE(WaitUntil([&] { return !(settings = FindWindow("^Settings$")).empty(); }));
    Sh("wmctrl -i -c " + settings);
    ChooseFromMenu(2);  // ReAcquire, at once
    ClickAt(round.x, round.y);
    ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == TargetWindow(round.name); }));
    const std::size_t before = Received(round.name).size();
    ClickAt(ButtonX(2), kButtonY);
    EXPECT_EQ(ReceivedAfter(round.name, before, 4), kCopy) << round.name;
  }
}

TEST_P(RealDesktopTest, TheTitlesTooltipShowsAnywhereOverItsText) {
  auto target = StartTarget("Target", 400, 250);
  auto bar = StartBar();
  ClickAt(500, 350);  // into Target
  ASSERT_TRUE(WaitUntil([&] { return TitlePixels() > 0; }));
  const auto barWindows = [&] {
    return Sh("xdotool search --onlyvisible --pid " + std::to_string(bar->pid()) + " | wc -l");
  };
  MoveAsADevice(600, 600);
  const std::string before = barWindows();
  // Between the letters of "Target", and still: the tooltip opens, a window of the bar's own.
  MoveAsADevice(150, 111);
  std::this_thread::sleep_for(200ms);
  MoveAsADevice(151, 110);
  EXPECT_TRUE(WaitUntil([&] { return barWindows() != before; })) << before;
}

TEST_P(RealDesktopTest, TheStripFollowsTheTargetsTitle) {
  auto target = StartTarget("Target", 400, 250);
  auto bar = StartBar();
  ClickAt(500, 350);  // into Target
  ASSERT_TRUE(WaitUntil([&] { return TitlePixels() > 0; }));
  // Right of where "Target" ends, the longer title draws.
  const auto farPart = [] { return CountPixels(126 + 80, 100, 120, 20, kCoral); };
  ASSERT_EQ(farPart(), 0);
  Sh("xdotool set_window --name 'Target - a much longer title' " + TargetWindow("Target"));
  EXPECT_TRUE(WaitUntil([&] { return farPart() > 0; }));
}

TEST_P(RealDesktopTest, ATargetThatClosesClearsTheStrip) {
  auto other = StartTarget("Other", 600, 450);
  auto target = StartTarget("Target", 400, 250);
  auto bar = StartBar();
  ClickAt(500, 350);  // into Target
  ASSERT_TRUE(WaitUntil([&] { return TitlePixels() > 0; }));
  Sh("wmctrl -i -c " + TargetWindow("Target"));
  ASSERT_NE(target->Wait(kPatience), -1);
  EXPECT_TRUE(WaitUntil([&] { return TitlePixels() == 0; }));
  // The window that came forward in its place is not taken until the user chooses it.
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(TitlePixels(), 0);
  ClickAt(700, 550);  // into Other
  EXPECT_TRUE(WaitUntil([&] { return TitlePixels() > 0; }));
}

TEST_P(RealDesktopTest, ARightButtonDragOnABarButtonLeavesTheBarWhereItWas) {
  auto bar = StartBar();
  const Geometry before = Bar();
  DragFromTo(ButtonX(1), kButtonY, ButtonX(1) + 80, kButtonY + 60, 3);
  DragFromTo(ButtonX(2), kButtonY, ButtonX(2) + 80, kButtonY + 60, 2);
  EXPECT_EQ(Bar(), before);
  DragFromTo(340, 110, 380, 150, 3);  // the green square moves it with any button
  EXPECT_TRUE(WaitUntil([&] { return Bar().x == before.x + 40; }));
}

TEST_P(RealDesktopTest, AfterTheScreenShrinksTheWholeBarIsOnItAndItsPlaceComesBackAfter) {
  auto bar = StartBar("[Form]\r\nTop=600\r\nLeft=760\r\n");
  ASSERT_EQ(Bar().x, 760);
  Sh("xrandr --newmode 800x600 0 800 0 0 0 600 0 0 0; xrandr --addmode screen 800x600");
  Sh("xrandr --output screen --mode 800x600 --fb 800x600");
  const bool onScreen = WaitUntil(
      [&] {
        const Geometry g = Bar();
        return g.x + g.width <= 800 && g.y + g.height <= 600;
      },
      10s);
  const Geometry shrunk = Bar();
  Sh("xrandr --output screen --mode 1024x768 --fb 1024x768");
  EXPECT_TRUE(onScreen) << shrunk.x << "," << shrunk.y;
  EXPECT_EQ(shrunk.width, 250);  // the size is the user's
  EXPECT_TRUE(WaitUntil([&] { return Bar().x == 760 && Bar().y == 600; }))
      << Bar().x << "," << Bar().y;
}

TEST_P(RealDesktopTest, TheBarIsOnEveryDesktop) {
  auto bar = StartBar();
  EXPECT_TRUE(WaitUntil([&] {
    return Sh("xprop -id " + bar_ + " _NET_WM_DESKTOP").find("4294967295") != std::string::npos;
  }));
  Sh("wmctrl -s 1");
  EXPECT_TRUE(WaitUntil([&] { return !FindWindow("^Form1$").empty(); }));
  Sh("wmctrl -s 0");
}

TEST_P(RealDesktopTest, AtScaleTwoTheSettingsWindowOpensAboveTheBarAndOnTheScreen) {
  auto bar = StartBar("", {"QT_SCALE_FACTOR=2"});
  ChooseFromMenu(0);  // Settings
  std::string settings;
  ASSERT_TRUE(WaitUntil([&] { return !(settings = FindWindow("^Settings$")).empty(); }));
  int left = 0, right = 0, top = 0, bottom = 0;
  // Framed: the window manager has said how thick the frame is.
  ASSERT_TRUE(WaitUntil([&] {
    std::istringstream extents(
        Sh("xprop -id " + settings + " _NET_FRAME_EXTENTS | grep = | cut -d= -f2 | tr ',' ' '"));
    return static_cast<bool>(extents >> left >> right >> top >> bottom) && top > 0;
  }));
  const Geometry s = WindowGeometry(settings);
  EXPECT_GE(s.x - left, 0);
  EXPECT_GE(s.y - top, 0);  // its title bar and close button are on the screen
  EXPECT_LE(s.x + s.width + right, 1024);
  EXPECT_LE(s.y + s.height + bottom, 768);
  const auto hex = [](const std::string& id) {
    std::ostringstream out;
    out << "0x" << std::hex << std::stoul(id);
    return out.str();
  };
  // While the user works in it, it is above the bar.
  std::string stacking;
  EXPECT_TRUE(WaitUntil([&] {
    stacking = Sh("xprop -root _NET_CLIENT_LIST_STACKING");
    return stacking.find(hex(bar_)) < stacking.find(hex(settings));
  })) << stacking;
  Sh("wmctrl -i -c " + settings);
}

INSTANTIATE_TEST_SUITE_P(Desktops, RealDesktopTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "WithCompositor" : "WithoutCompositor";
                         });

}  // namespace
}  // namespace kavo::e2e
