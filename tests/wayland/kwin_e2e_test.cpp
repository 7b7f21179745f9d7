// The bar on KDE Plasma's compositor (headless KWin): a panel that never takes the keyboard,
// typing through KWin's fake input with the session's layout into Wayland programs of the
// test's own, which record what they receive.

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <thread>

#include "desktop.h"
#include "kwin_hand.h"
#include "wayland_session.h"

namespace kavo::e2e {
namespace {

using namespace std::chrono_literals;
using Events = std::vector<std::string>;

constexpr char kCoral[] = "#FF7F50";
constexpr char kBlue[] = "#4169E1";
// Where the tests' settings put the bar, and its size.
constexpr Geometry kBar = {200, 300, 340, 130};

Events Chord(const std::string& modifier, const std::string& key) {
  return {"press " + modifier, "press " + key, "release " + key, "release " + modifier};
}

// One KWin for the suite, with the keyboard layout the suite names.
class KWinBarTest : public testing::Test {
 protected:
  static void StartSession(const std::vector<std::string>& layout) {
    unavailable_ = WaylandSession::Unavailable(WaylandSession::Compositor::KWin);
    if (!unavailable_.empty()) return;
    problem_ = SetUpProblem([&] {
      session_ = std::make_unique<WaylandSession>(WaylandSession::Compositor::KWin, layout);
      hand_ = std::make_unique<KWinHand>(*session_, KAVO_KWIN_DRIVER);
      // The bar runs from one place, which the session authorizes once; each test gives it a
      // settings folder of its own.
      bar_ = session_->RuntimeFolder() + "/bin/kavo";
      std::filesystem::create_directories(session_->RuntimeFolder() + "/bin");
      std::filesystem::copy_file(KAVO_EXECUTABLE, bar_);
      session_->GiveFolder(session_->RuntimeFolder() + "/bin");
      session_->Authorize(bar_, "org_kde_plasma_window_management,org_kde_kwin_fake_input");
    });
  }
  static void TearDownTestSuite() {
    hand_.reset();
    session_.reset();
  }

  void SetUp() override {
    if (!unavailable_.empty()) GTEST_SKIP() << unavailable_;
    ASSERT_TRUE(problem_.empty()) << problem_;
    char pattern[] = "/tmp/kavo-kwin-e2e-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
    session_->GiveFolder(folder_);
  }
  void TearDown() override {
    targets_.clear();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }

  // The bar with this key file, at kBar; started again while KWin has not read its desktop
  // file yet (the bar then says so and would reach no Wayland program).
  std::unique_ptr<Process> StartBar(const std::string& keyFile = "",
                                    const std::string& moreSettings = "") {
    if (!keyFile.empty()) test::WriteBytes(folder_ + "/KavoKey.txt", keyFile);
    test::WriteBytes(folder_ + "/Kavo.ini",
                     "[Form]\r\nTop=300\r\nLeft=200\r\nWidth=340\r\n" + moreSettings);
    session_->GiveFolder(folder_);
    std::unique_ptr<Process> bar;
    const bool drawn = WaitUntil([&] {
      bar = session_->Start({bar_, "--home", folder_}, folder_, {"LC_ALL=C.UTF-8"});
      const bool shown = WaitUntil(
          [&] {
            return !bar->Errors().empty() ||
                   hand_->CountPixels({kBar.x, kBar.y, 20, 20}, kBlue) > 0;
          },
          20s);
      return shown && bar->Errors().empty();
    });
    EXPECT_TRUE(drawn) << "the bar did not appear where its settings put it: " << bar->Errors();
    return bar;
  }

  // A key-recording window with this title, active once it is mapped.
  void StartTarget(const std::string& title) {
    targets_.push_back(session_->Start({KAVO_WAYLAND_KEY_TARGET, title, Log(title), "kavo.target"},
                                       folder_, {"QT_QPA_PLATFORM=wayland"}));
    EXPECT_TRUE(WaitUntil([&] { return hand_->Active() == title; }))
        << "target " << title << " did not come to the front: " << targets_.back()->Errors();
  }
  // A click into the target makes it the bar's (the window in front at the start is passed
  // over until then).
  void Choose(const std::string& title) {
    const Geometry t = hand_->Find(title).rect;
    hand_->Click(t.x + t.width - 40, t.y + t.height - 40);
    ASSERT_TRUE(WaitUntil([&] { return TitlePixels() > 0; })) << "no title in the strip";
  }

  // The middle of button i, laid out from the bar's top left corner.
  void ClickButton(int index) { hand_->Click(kBar.x + 25 + index * 52, kBar.y + 36); }
  int TitlePixels() {
    return hand_->CountPixels({kBar.x + 26, kBar.y, kBar.width - 52, 20}, kCoral);
  }

  std::string Log(const std::string& title) const { return folder_ + "/" + title + ".log"; }
  // What the window received, its pointer buttons left out.
  Events Received(const std::string& title) const {
    Events lines;
    std::istringstream in(test::ReadBytes(Log(title)));
    for (std::string line; std::getline(in, line);) {
      if (!line.starts_with("button")) lines.push_back(line);
    }
    return lines;
  }
  Events AwaitReceived(const std::string& title, std::size_t count) const {
    WaitUntil([&] { return Received(title).size() >= count; });
    return Received(title);
  }

  static inline std::string unavailable_;
  static inline std::string problem_;
  static inline std::unique_ptr<WaylandSession> session_;
  static inline std::unique_ptr<KWinHand> hand_;
  static inline std::string bar_;
  std::string folder_;
  std::vector<std::unique_ptr<Process>> targets_;
};

class KWinUsTest : public KWinBarTest {
 protected:
  static void SetUpTestSuite() { StartSession({"LayoutList=us"}); }
};

TEST_F(KWinUsTest, TypesEachDefaultShortcutAndTheTargetKeepsTheKeyboard) {
  auto bar = StartBar();
  StartTarget("Target");
  Choose("Target");
  Events expected;
  const char* keys[] = {"z", "x", "c", "v"};  // Undo, Cut, Copy, Past
  for (int i = 0; i < 4; ++i) {
    ClickButton(i);
    const Events chord = Chord("Control_L", keys[i]);
    expected.insert(expected.end(), chord.begin(), chord.end());
    ASSERT_EQ(AwaitReceived("Target", expected.size()), expected) << "button " << i;
    EXPECT_EQ(hand_->Active(), "Target") << "the bar took the keyboard";
  }
  // What the user types goes on to the target.
  hand_->TapKey(30);  // a
  expected.insert(expected.end(), {"press a", "release a"});
  EXPECT_EQ(AwaitReceived("Target", expected.size()), expected);
  hand_->Shot({0, 0, 1280, 800}, folder_ + "/kwin.png");
  if (const char* docs = std::getenv("KAVO_SCREENSHOT_FOLDER")) {
    std::filesystem::copy_file(folder_ + "/kwin.png", std::string(docs) + "/bar-on-kwin.png",
                               std::filesystem::copy_options::overwrite_existing);
  }
}

TEST_F(KWinUsTest, AWindowActivatedAfterTheTargetWasTakenGetsNothing) {
  auto bar = StartBar();
  StartTarget("Target");
  Choose("Target");
  StartTarget("Other");
  ClickButton(0);
  EXPECT_EQ(AwaitReceived("Target", 4), Chord("Control_L", "z"));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(Received("Other"), Events{});
  EXPECT_EQ(hand_->Active(), "Target");
}

// KWin repeats a held Space within itself and takes the repeats for the user's activity, so
// the end of a stroke cannot be told: the latch holds through the stroke and after it, until
// its button is clicked again.
TEST_F(KWinUsTest, ALatchHoldsThroughAStrokeAndClosingLetsGoOfAToggle) {
  auto bar = StartBar("Pan,Space,,,latch\r\nPick,Ctrl,,,toggle\r\n");
  StartTarget("Target");
  Choose("Target");
  ClickButton(0);  // Pan: Space goes down and stays down through the stroke.
  ASSERT_EQ(AwaitReceived("Target", 1), Events{"press space"});
  const Geometry t = hand_->Find("Target").rect;
  hand_->Drag(t.x + 60, t.y + 60, t.x + 160, t.y + 110);
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(Received("Target"), Events{"press space"});
  const std::string log = test::ReadBytes(Log("Target"));
  EXPECT_NE(log.find("button release 1"), std::string::npos) << log;
  ClickButton(0);
  const Events pan = {"press space", "release space"};
  ASSERT_EQ(AwaitReceived("Target", pan.size()), pan);

  ClickButton(1);  // Pick: Ctrl stays down until the bar closes.
  Events expected = pan;
  expected.push_back("press Control_L");
  ASSERT_EQ(AwaitReceived("Target", expected.size()), expected);
  bar->Signal(SIGTERM);
  EXPECT_EQ(bar->Wait(kPatience), 0) << bar->Errors();
  expected.push_back("release Control_L");
  EXPECT_EQ(AwaitReceived("Target", expected.size()), expected);
}

TEST_F(KWinUsTest, TheBarStaysAboveWhereItsSettingsPutItAndItsGreenSquareMovesIt) {
  auto bar = StartBar();
  StartTarget("Target");
  // A window brought over the bar's place leaves the bar above it.
  EXPECT_GT(hand_->CountPixels({kBar.x, kBar.y, 20, 20}, kBlue), 300);
  const int x = kBar.x + kBar.width - 10, y = kBar.y + 10;
  hand_->Drag(x, y, x + 40, y + 20);
  EXPECT_TRUE(WaitUntil([&] {
    return hand_->CountPixels({kBar.x + 40, kBar.y + 20, 20, 20}, kBlue) > 300;
  })) << "the bar did not follow the pointer";
  bar->Signal(SIGTERM);
  EXPECT_EQ(bar->Wait(kPatience), 0) << bar->Errors();
  const std::string settings = test::ReadBytes(folder_ + "/Kavo.ini");
  EXPECT_NE(settings.find("Top=320"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Left=240"), std::string::npos) << settings;
}

// Following, each window brought forward takes the next click's keys, with its program's set.
TEST_F(KWinUsTest, FollowingEachWindowBroughtForwardTakesTheNextClick) {
  test::WriteBytes(folder_ + "/KavoKey.paint.txt", "Brush,B\r\n");
  auto bar = StartBar("Undo,Ctrl,Z\r\n", "[Target]\r\nFollow=1\r\n");
  StartTarget("Editor");
  Choose("Editor");
  targets_.push_back(session_->Start({KAVO_WAYLAND_KEY_TARGET, "Paint", Log("Paint"), "paint"},
                                     folder_, {"QT_QPA_PLATFORM=wayland"}));
  ASSERT_TRUE(WaitUntil([&] { return hand_->Active() == "Paint"; }));
  std::this_thread::sleep_for(300ms);  // the set comes on the event loop's next turn
  ClickButton(0);
  EXPECT_EQ(AwaitReceived("Paint", 2), (Events{"press b", "release b"}));
  hand_->Activate("Editor");
  ASSERT_TRUE(WaitUntil([&] { return hand_->Active() == "Editor"; }));
  std::this_thread::sleep_for(300ms);
  ClickButton(0);
  EXPECT_EQ(AwaitReceived("Editor", 4), Chord("Control_L", "z"));
  EXPECT_EQ(Received("Paint").size(), 2u);
}

// The menu opens on the bar and takes the keyboard while it is open; once it closes, the user's
// keys and the bar's go to the target again. The settings window is an ordinary window.
TEST_F(KWinUsTest, TheMenuGivesTheKeyboardBackAndTheSettingsWindowOpens) {
  auto bar = StartBar();
  StartTarget("Target");
  Choose("Target");
  hand_->Click(kBar.x + 10, kBar.y + 10);
  std::this_thread::sleep_for(500ms);
  hand_->TapKey(1);  // Escape: its release may reach the target, whose keyboard it is again
  std::this_thread::sleep_for(300ms);
  Events expected = Received("Target");
  hand_->TapKey(30);  // a
  expected.insert(expected.end(), {"press a", "release a"});
  ASSERT_EQ(AwaitReceived("Target", expected.size()), expected);
  EXPECT_EQ(hand_->Active(), "Target");

  hand_->Click(kBar.x + 10, kBar.y + 10);
  std::this_thread::sleep_for(500ms);
  hand_->TapKey(108);  // Down: Settings
  hand_->TapKey(28);   // Return
  ASSERT_TRUE(WaitUntil([&] { return !hand_->Find("Settings").title.empty(); }))
      << "no settings window";
  expected = Received("Target");
  ClickButton(0);
  const Events undo = Chord("Control_L", "z");
  expected.insert(expected.end(), undo.begin(), undo.end());
  EXPECT_EQ(AwaitReceived("Target", expected.size()), expected);
}

// On a German layout the key marked Z is evdev's KEY_Y, and "-" lies where "/" does on a US one.
class KWinGermanTest : public KWinBarTest {
 protected:
  static void SetUpTestSuite() { StartSession({"LayoutList=de"}); }
};

TEST_F(KWinGermanTest, ShortcutsAndCharactersTypeWhatTheyNameInTheSessionsLayout) {
  auto bar = StartBar("Undo,Ctrl,Z\r\nMinus,-\r\nHash,#\r\nKana,\xE3\x81\x82\r\n");
  StartTarget("Target");
  Choose("Target");
  ClickButton(0);
  Events expected = Chord("Control_L", "z");
  ASSERT_EQ(AwaitReceived("Target", expected.size()), expected);
  ClickButton(1);
  expected.insert(expected.end(), {"press minus", "release minus"});
  ASSERT_EQ(AwaitReceived("Target", expected.size()), expected);
  ClickButton(2);
  expected.insert(expected.end(), {"press numbersign", "release numbersign"});
  EXPECT_EQ(AwaitReceived("Target", expected.size()), expected);
  // No key of the layout types a kana: refused and said, never typed as another.
  ClickButton(3);
  EXPECT_TRUE(WaitUntil([&] { return bar->Errors().find("has no key for") != std::string::npos; }))
      << bar->Errors();
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(Received("Target"), expected);
}

// A copy that no desktop file names: KWin hides its window list and fake input from it, and the
// bar says how to allow them, on standard error and in its strip.
TEST_F(KWinUsTest, ACopyKWinDoesNotKnowSaysHowToAllowIt) {
  const std::string copy = folder_ + "/kavo";
  std::filesystem::copy_file(KAVO_EXECUTABLE, copy);
  test::WriteBytes(folder_ + "/Kavo.ini", "[Form]\r\nTop=300\r\nLeft=200\r\nWidth=340\r\n");
  session_->GiveFolder(folder_);
  auto bar = session_->Start({copy}, folder_, {"LC_ALL=C.UTF-8"});
  EXPECT_TRUE(WaitUntil([&] {
    return bar->Errors().find(
               "X-KDE-Wayland-Interfaces=org_kde_plasma_window_management,"
               "org_kde_kwin_fake_input") != std::string::npos;
  })) << bar->Errors();
  EXPECT_NE(bar->Errors().find("Exec=" + copy), std::string::npos) << bar->Errors();
  // An ordinary window then, which KWin places.
  EXPECT_TRUE(WaitUntil([&] {
    return hand_->CountPixels({0, 0, 1280, 800}, kCoral) > 0;
  })) << "nothing said in the strip";
  EXPECT_EQ(bar->Wait(1s), -1) << "the bar did not keep running";
}

}  // namespace
}  // namespace kavo::e2e
