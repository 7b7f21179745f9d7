// The bar on a wlroots compositor (headless sway): found windows, typed keys and held keys, as
// Wayland programs of the test's own receive them.

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <thread>

#include "desktop.h"
#include "seat_driver.h"
#include "wayland_session.h"

namespace kavo::e2e {
namespace {

using namespace std::chrono_literals;
using Events = std::vector<std::string>;

// The compositor rules the README gives for the bar; it floats without one.
const std::vector<std::string> kBarRules = {
    R"(for_window [app_id="org.kavo.kavo" title="^Form1$"] sticky enable)",
    R"(no_focus [app_id="org.kavo.kavo" title="^Form1$"])",
};
constexpr char kCoral[] = "#FF7F50";

// A folder of the test's own that the session's user may write in; empty if none was made.
std::string NewFolder(const WaylandSession& session) {
  char pattern[] = "/tmp/kavo-wl-e2e-XXXXXX";
  if (!::mkdtemp(pattern)) return "";
  session.GiveFolder(pattern);
  return pattern;
}

void RemoveFolder(const std::string& folder) {
  std::error_code ec;
  if (!folder.empty()) std::filesystem::remove_all(folder, ec);
}

// A copy of the bar in the folder, started on the session's desktop as a user starts it: the
// bar chooses the toolkit's platform unless env names one. moreSettings follow the bar's place
// in Kavo.ini.
std::unique_ptr<Process> StartBarOn(const WaylandSession& session, const std::string& folder,
                                    const std::string& keyFile = "",
                                    std::vector<std::string> env = {},
                                    const std::string& moreSettings = "") {
  const std::string exe = folder + "/kavo";
  std::filesystem::copy_file(KAVO_EXECUTABLE, exe,
                             std::filesystem::copy_options::overwrite_existing);
  if (!keyFile.empty()) test::WriteBytes(folder + "/KavoKey.txt", keyFile);
  // A bar wide enough for six buttons in a row, at a place the compositor will not take.
  test::WriteBytes(folder + "/Kavo.ini",
                   "[Form]\r\nTop=300\r\nLeft=200\r\nWidth=340\r\n" + moreSettings);
  session.GiveFolder(folder);
  env.push_back("LC_ALL=C.UTF-8");
  return session.Start({exe}, folder, env);
}

class WaylandBarTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    unavailable_ = WaylandSession::Unavailable(WaylandSession::Compositor::Sway);
    if (!unavailable_.empty()) return;
    problem_ = SetUpProblem([] {
      session_ = std::make_unique<WaylandSession>(WaylandSession::Compositor::Sway, kBarRules);
      seat_ = std::make_unique<SeatDriver>(session_->DisplayPath());
    });
  }
  static void TearDownTestSuite() {
    seat_.reset();
    session_.reset();
  }

  void SetUp() override {
    if (!unavailable_.empty()) GTEST_SKIP() << unavailable_;
    ASSERT_TRUE(problem_.empty()) << problem_;
    folder_ = NewFolder(*session_);
    ASSERT_FALSE(folder_.empty());
  }
  void TearDown() override { RemoveFolder(folder_); }

  // A key-recording window with this title, which sway gives the focus once it is mapped.
  std::unique_ptr<Process> StartTarget(const std::string& title,
                                       const std::string& appId = "kavo.target") {
    auto target = session_->Start({KAVO_WAYLAND_KEY_TARGET, title, Log(title), appId}, folder_,
                                  {"QT_QPA_PLATFORM=wayland"});
    EXPECT_TRUE(WaitUntil([&] { return session_->Focused() == title; }))
        << "target " << title << " did not come to the front: " << target->Errors();
    return target;
  }

  std::unique_ptr<Process> StartBar(const std::string& keyFile = "",
                                    const std::string& moreSettings = "") {
    auto bar = StartBarOn(*session_, folder_, keyFile, {}, moreSettings);
    EXPECT_TRUE(WaitUntil([&] {
      bar_ = session_->Find("Form1").rect;
      return bar_.width > 0;
    })) << "the bar did not appear: "
        << bar->Errors();
    return bar;
  }

  // The middle of button i, laid out as on X11 from the bar's top left corner, reached as a
  // hand reaches it: the pointer comes over the button a moment before it presses.
  void ClickButton(int index) const {
    const int x = bar_.x + 25 + index * 52, y = bar_.y + 36;
    seat_->MoveTo(x, y);
    std::this_thread::sleep_for(100ms);
    seat_->Click(x, y);
  }
  int TitlePixels() const {
    return session_->CountPixels({bar_.x + 26, bar_.y, bar_.width - 52, 20}, kCoral);
  }

  std::string Log(const std::string& title) const { return folder_ + "/" + title + ".log"; }
  Events Received(const std::string& title) const {
    Events lines;
    std::istringstream in(test::ReadBytes(Log(title)));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  Events AwaitReceived(const std::string& title, std::size_t count) const {
    WaitUntil([&] { return Received(title).size() >= count; });
    return Received(title);
  }

  static inline std::string unavailable_;
  static inline std::string problem_;  // the session did not start
  static inline std::unique_ptr<WaylandSession> session_;
  static inline std::unique_ptr<SeatDriver> seat_;
  std::string folder_;
  Geometry bar_;
};

Events Chord(const std::string& modifier, const std::string& key) {
  return {"press " + modifier, "press " + key, "release " + key, "release " + modifier};
}

TEST_F(WaylandBarTest, TypesEachDefaultShortcutIntoTheTargetWhichKeepsTheFocus) {
  auto bar = StartBar();
  EXPECT_EQ(TitlePixels(), 0);
  auto target = StartTarget("Target");
  EXPECT_TRUE(WaitUntil([&] { return TitlePixels() > 0; })) << "no title in the strip";

  Events expected;
  const char* keys[] = {"z", "x", "c", "v"};  // Undo, Cut, Copy, Past
  for (int i = 0; i < 4; ++i) {
    ClickButton(i);
    const Events chord = Chord("Control_L", keys[i]);
    expected.insert(expected.end(), chord.begin(), chord.end());
    ASSERT_EQ(AwaitReceived("Target", expected.size()), expected) << "button " << i;
    EXPECT_EQ(session_->Focused(), "Target");
  }
  // The keyboard is the target's again: what the user types goes there.
  seat_->TapKey(30);  // a
  expected.insert(expected.end(), {"press a", "release a"});
  EXPECT_EQ(AwaitReceived("Target", expected.size()), expected);
}

TEST_F(WaylandBarTest, AWindowActivatedAfterTheTargetWasTakenGetsNothingAndAClosedTargetIsLetGo) {
  auto bar = StartBar();
  auto target = StartTarget("Target");
  ASSERT_TRUE(WaitUntil([&] { return TitlePixels() > 0; }));
  auto other = StartTarget("Other");
  ClickButton(0);
  EXPECT_EQ(AwaitReceived("Target", 4), Chord("Control_L", "z"));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(Received("Other"), Events{});
  EXPECT_EQ(session_->Focused(), "Target");
  // A target that closes takes its title out of the strip.
  ASSERT_TRUE(session_->Command(R"([title="^Target$"] kill)"));
  EXPECT_TRUE(WaitUntil([&] { return TitlePixels() == 0; }));
}

// Following, each window the user brings forward takes the next click's keys, with its
// program's own set; the bar's menu and settings window, which take the focus, never do.
TEST_F(WaylandBarTest, FollowingEachWindowBroughtForwardTakesTheNextClickAndTheBarsOwnNever) {
  test::WriteBytes(folder_ + "/KavoKey.paint.txt", "Pan,Space\r\nBrush,B\r\n");
  auto bar = StartBar("Undo,Ctrl,Z\r\n", "[Target]\r\nFollow=1\r\n");
  auto editor = StartTarget("Editor");
  ASSERT_TRUE(WaitUntil([&] { return TitlePixels() > 0; }));
  const int editorTitle = TitlePixels();
  ClickButton(0);
  Events editorExpected = Chord("Control_L", "z");
  ASSERT_EQ(AwaitReceived("Editor", 4), editorExpected);

  auto paint = StartTarget("Paint", "paint");
  ASSERT_TRUE(WaitUntil([&] { return TitlePixels() != editorTitle; }));
  std::this_thread::sleep_for(200ms);  // the set comes on the event loop's next turn
  ClickButton(1);                      // the paint set's Brush
  EXPECT_EQ(AwaitReceived("Paint", 2), (Events{"press b", "release b"}));
  EXPECT_EQ(session_->Focused(), "Paint");

  ASSERT_TRUE(session_->Command(R"([title="^Editor$"] focus)"));
  ASSERT_TRUE(WaitUntil([&] { return TitlePixels() == editorTitle; }));
  std::this_thread::sleep_for(200ms);
  ClickButton(0);
  const Events undo = Chord("Control_L", "z");
  editorExpected.insert(editorExpected.end(), undo.begin(), undo.end());
  EXPECT_EQ(AwaitReceived("Editor", editorExpected.size()), editorExpected);

  // The menu, dismissed, and the settings window in front: the keys still go to the editor.
  const auto openMenu = [&] {
    seat_->MoveTo(bar_.x + 10, bar_.y + 10);
    std::this_thread::sleep_for(100ms);
    seat_->Click(bar_.x + 10, bar_.y + 10);
    std::this_thread::sleep_for(500ms);
  };
  openMenu();
  seat_->TapKey(1);  // Escape
  std::this_thread::sleep_for(300ms);
  openMenu();
  seat_->TapKey(108);  // Down: Settings
  seat_->TapKey(28);   // Return
  ASSERT_TRUE(WaitUntil([&] { return session_->Focused() == "Settings"; }));
  // sway puts it in the middle of the screen, over the bar.
  ASSERT_TRUE(session_->Command(R"([title="^Settings$"] move position 0 0)"));
  ASSERT_TRUE(WaitUntil([&] { return session_->Find("Settings").rect.x == 0; }));
  ClickButton(0);
  editorExpected.insert(editorExpected.end(), undo.begin(), undo.end());
  EXPECT_EQ(AwaitReceived("Editor", editorExpected.size()), editorExpected);
  EXPECT_EQ(Received("Paint").size(), 2u);
}

TEST_F(WaylandBarTest, ALatchHoldsThroughAStrokeOnTheTargetAndClosingLetsGoOfAToggle) {
  auto bar = StartBar("Pan,Space,,,latch\r\nPick,Ctrl,,,toggle\r\n");
  auto target = StartTarget("Target");
  ASSERT_TRUE(WaitUntil([&] { return TitlePixels() > 0; }));

  ClickButton(0);  // Pan: Space goes down ...
  ASSERT_EQ(AwaitReceived("Target", 1), Events{"press space"});
  // ... stays down while the user takes a moment before the stroke, through the stroke on the
  // target, and comes up once the stroke has ended.
  std::this_thread::sleep_for(1s);
  ASSERT_EQ(Received("Target"), Events{"press space"});
  const Geometry t = session_->Find("Target").rect;
  seat_->Drag(t.x + 40, t.y + 40, t.x + 140, t.y + 90);
  const Events pan = {"press space", "button press 1", "button release 1", "release space"};
  EXPECT_EQ(AwaitReceived("Target", pan.size()), pan);

  ClickButton(1);  // Pick: Ctrl stays down until the bar closes.
  Events expected = pan;
  expected.push_back("press Control_L");
  ASSERT_EQ(AwaitReceived("Target", expected.size()), expected);
  bar->Signal(SIGTERM);
  EXPECT_EQ(bar->Wait(kPatience), 0) << bar->Errors();
  expected.push_back("release Control_L");
  EXPECT_EQ(AwaitReceived("Target", expected.size()), expected);
}

TEST_F(WaylandBarTest, TheBarFloatsAtItsOwnSizeAndDragsWhileItsStoredPlaceStays) {
  auto bar = StartBar();
  const Geometry before = bar_;
  // Tiled, it would take half the screen.
  EXPECT_EQ(before.width, 340);
  EXPECT_EQ(before.height, 130);
  const int x = before.x + before.width - 10, y = before.y + 10;
  seat_->MoveTo(x, y);
  std::this_thread::sleep_for(100ms);
  seat_->Drag(x, y, x + 40, y + 20);
  // The compositor moves the bar from where the pointer was when the bar asked it to: on a
  // busy machine a little of the drag may be over by then.
  Geometry after;
  EXPECT_TRUE(WaitUntil([&] {
    after = session_->Find("Form1").rect;
    return after.x > before.x && after.y > before.y && after.x <= before.x + 40 &&
           after.y <= before.y + 20 && (after.x - before.x) == 2 * (after.y - before.y);
  })) << after.x
      << "," << after.y << " from " << before.x << "," << before.y;
  // The compositor's place is not the bar's to store: the one from the X11 session stays.
  bar->Signal(SIGTERM);
  EXPECT_EQ(bar->Wait(kPatience), 0);
  const std::string settings = test::ReadBytes(folder_ + "/Kavo.ini");
  EXPECT_NE(settings.find("Top=300"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Left=200"), std::string::npos) << settings;
}

// A desktop without the protocols the bar needs (weston here; GNOME and KDE Plasma likewise).
class WaylandWithoutWlrootsTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto why = WaylandSession::Unavailable(WaylandSession::Compositor::Weston);
    if (!why.empty()) GTEST_SKIP() << why;
    session_ = std::make_unique<WaylandSession>(WaylandSession::Compositor::Weston);
    folder_ = NewFolder(*session_);
    ASSERT_FALSE(folder_.empty());
  }
  void TearDown() override {
    session_.reset();
    RemoveFolder(folder_);
  }

  std::unique_ptr<WaylandSession> session_;
  std::string folder_;
};

TEST_F(WaylandWithoutWlrootsTest, OnTheWaylandPlatformTheBarRunsAndSaysWhatIsMissing) {
  auto bar = StartBarOn(*session_, folder_, "", {"QT_QPA_PLATFORM=wayland"});
  ASSERT_TRUE(WaitUntil([&] { return !bar->Errors().empty(); }));
  EXPECT_EQ(bar->Wait(1s), -1) << "the bar did not keep running";
  EXPECT_NE(bar->Errors().find("Missing zwlr_foreign_toplevel_manager_v1"), std::string::npos)
      << bar->Errors();
  EXPECT_NE(bar->Errors().find("QT_QPA_PLATFORM=xcb"), std::string::npos);
  // The strip says it too, in the title's colour: nothing else on that desktop is coral.
  const std::string shot = folder_ + "/shot.png";
  session_->Screenshot(shot);
  EXPECT_GT(CountColour(shot, kCoral), 0);
  bar->Signal(SIGTERM);
  EXPECT_EQ(bar->Wait(kPatience), 0);
}

TEST_F(WaylandWithoutWlrootsTest, WithXWaylandAtHandTheBarGoesThereUnlessToldOtherwise) {
  StartDesktop();  // an X server beside the compositor, as XWayland is
  auto bar = StartBarOn(*session_, folder_);
  EXPECT_TRUE(WaitUntil([&] { return !FindWindow("^Form1$").empty(); }))
      << "the bar did not appear on the X server: " << bar->Errors();
  EXPECT_NE(bar->Errors().find("lacks zwlr_foreign_toplevel_manager_v1; the bar runs through "
                               "XWayland"),
            std::string::npos)
      << bar->Errors();
  bar->Signal(SIGTERM);
  EXPECT_EQ(bar->Wait(kPatience), 0);
  StopDesktop();
}

}  // namespace
}  // namespace kavo::e2e
