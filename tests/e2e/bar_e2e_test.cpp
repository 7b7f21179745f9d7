// The real bar on a real desktop: clicked with the mouse, typing into a window of another program.

#include <signal.h>
#include <sys/stat.h>

#include <filesystem>

#include "e2e_fixture.h"

namespace kavo::e2e {
namespace {

using namespace std::chrono_literals;

using BarTest = DesktopTest;

TEST_F(BarTest, DefaultButtonsTypeTheirShortcutsIntoTheWindowInFront) {
  auto target = StartTarget("Target");
  auto bar = StartBar();
  const std::string targetWindow = TargetWindow("Target");

  const Events expected[] = {Chord("Control_L", "z"), Chord("Control_L", "x"),
                             Chord("Control_L", "c"), Chord("Control_L", "v")};
  Events all;
  for (int i = 0; i < 4; ++i) {
    ClickAt(ButtonX(i), kButtonY);
    all.insert(all.end(), expected[i].begin(), expected[i].end());
    EXPECT_EQ(AwaitReceived("Target", all.size()), all) << "button " << i;
    // The bar never takes the focus: the target keeps it, caret and all.
    EXPECT_EQ(ActiveWindow(), targetWindow);
  }
}

TEST_F(BarTest, KeysGoToTheAcquiredTargetNotToAWindowActivatedLater) {
  auto first = StartTarget("First", 400, 250);
  auto bar = StartBar();
  ClickAt(ButtonX(0), kButtonY);  // acquires the window in front and types into it
  AwaitReceived("First", 4);

  auto second = StartTarget("Second", 600, 450);
  ASSERT_EQ(ActiveWindow(), TargetWindow("Second"));
  ClickAt(ButtonX(2), kButtonY);
  EXPECT_EQ(AwaitReceived("First", 8),
            (Events{"press Control_L", "press z", "release z", "release Control_L",
                    "press Control_L", "press c", "release c", "release Control_L"}));
  EXPECT_TRUE(Received("Second").empty());
  EXPECT_EQ(ActiveWindow(), TargetWindow("First"));  // brought back to the front
}

TEST_F(BarTest, WindowInFrontAtStartIsPassedOverForTheNextOneActivated) {
  auto terminal = StartTarget("Terminal", 400, 250);
  auto bar = StartBar();
  std::this_thread::sleep_for(2500ms);  // ticks while the start window stays in front
  ASSERT_EQ(CountPixels(126, 100, 200, 20, "#FF7F50"), 0);  // no title in the strip
  auto editor = StartTarget("Editor", 600, 450);
  // Taken: its title shows in the strip.
  ASSERT_TRUE(WaitUntil([] { return CountPixels(126, 100, 200, 20, "#FF7F50") > 0; }));
  Activate(TargetWindow("Terminal"));
  ClickAt(ButtonX(0), kButtonY);
  EXPECT_EQ(AwaitReceived("Editor", 4), Chord("Control_L", "z"));
  EXPECT_TRUE(Received("Terminal").empty());
}

TEST_F(BarTest, SingleCharacterAndFunctionKeyNamesTypeWhatTheyName) {
  test::WriteBytes(folder_ + "/KavoKey.txt",
                   "Minus,-\r\nPlus,+\r\nHelp,F1\r\nRedo,Ctrl,Shift,Z\r\n");
  auto target = StartTarget("Target");
  auto bar = StartBar();
  const Events expected[] = {
      {"press minus", "release minus"},
      {"press Shift_L", "press equal", "release equal", "release Shift_L"},
      {"press F1", "release F1"},
      {"press Control_L", "press Shift_L", "press z", "release z", "release Shift_L",
       "release Control_L"},
  };
  Events all;
  for (int i = 0; i < 4; ++i) {
    ClickAt(ButtonX(i), kButtonY);
    all.insert(all.end(), expected[i].begin(), expected[i].end());
    EXPECT_EQ(AwaitReceived("Target", all.size()), all) << "button " << i;
  }
}

TEST_F(BarTest, CharactersFollowTheActiveKeyboardLayout) {
  test::WriteBytes(folder_ + "/KavoKey.txt", "Plus,+\r\nUndo,Ctrl,Z\r\n");
  auto target = StartTarget("Target");
  auto bar = StartBar();
  ClickAt(ButtonX(0), kButtonY);
  EXPECT_EQ(AwaitReceived("Target", 4),
            (Events{"press Shift_L", "press equal", "release equal", "release Shift_L"}));
  Sh("setxkbmap -layout de");  // the user switches to a German keyboard: + has a key of its own
  ClickAt(ButtonX(0), kButtonY);
  ClickAt(ButtonX(1), kButtonY);
  const Events received = AwaitReceived("Target", 10);
  EXPECT_EQ(Events(received.begin() + 4, received.end()),
            (Events{"press plus", "release plus", "press Control_L", "press z", "release z",
                    "release Control_L"}));
}

TEST_F(BarTest, ClosingThroughTheWindowManagerWritesTheSettingsFile) {
  auto bar = StartBar();
  Sh("wmctrl -i -c " + bar_);
  EXPECT_EQ(bar->Wait(kPatience), 0) << bar->Errors();
  EXPECT_EQ(test::ReadBytes(folder_ + "/Kavo.ini"),
            "\xEF\xBB\xBF[Form]\r\nTop=100\r\nLeft=100\r\nHeight=130\r\nWidth=250\r\n\r\n"
            "[Icon]\r\nWidth=50\r\nHeight=25\r\nCorner=5\r\nHGap=2\r\nVGap=2\r\nShadow=1\r\n\r\n"
            "[Target]\r\nFollow=0\r\n\r\n");
}

TEST_F(BarTest, SessionEndClosesTheBarInOrder) {
  test::WriteBytes(folder_ + "/Kavo.ini", "[Form]\r\nTop=140\r\nLeft=-30\r\n");
  auto bar = StartBar();
  bar->Signal(SIGTERM);
  EXPECT_EQ(bar->Wait(kPatience), 0) << bar->Errors();
  const std::string saved = test::ReadBytes(folder_ + "/Kavo.ini");
  EXPECT_NE(saved.find("Top=140\r\nLeft=0\r\n"), std::string::npos) << saved;
}

TEST_F(BarTest, BrokenKeyFileStopsStartUpWithTheApplicationErrorBox) {
  test::WriteBytes(folder_ + "/KavoKey.txt", "\xEF\xBB\xBFUndo,Ctrl,Z\r\n\xFF\r\n");
  Process bar({InstallBar()}, folder_, {"LC_ALL=C.UTF-8"});
  std::string box;
  ASSERT_TRUE(WaitUntil([&] { return !(box = FindWindow("^アプリケーションエラー$")).empty(); }))
      << bar.Errors();
  EXPECT_TRUE(FindWindow("^Form1$").empty());
  Sh("xdotool key --window " + box + " Return");
  Activate(box);
  Sh("xdotool key Return");
  EXPECT_EQ(bar.Wait(kPatience), 1);
  EXPECT_NE(bar.Errors().find("EEncodingError がモジュール kavo の "), std::string::npos)
      << bar.Errors();
  EXPECT_NE(bar.Errors().find(
                "Unicode 文字のマッピングがターゲットのマルチバイト コード ページに存在しません."),
            std::string::npos);
}

// A FIFO nobody writes to, as the key file: refused at once with the open error, never waited
// on; and while the box is up, the session's request to end still ends the program.
TEST_F(BarTest, AKeyFileThatIsAFifoStopsStartUpWithTheOpenErrorAndASignalStillEnds) {
  const std::string exe = InstallBar();
  ASSERT_EQ(::mkfifo((folder_ + "/KavoKey.txt").c_str(), 0600), 0);
  Process bar({exe}, folder_, {"LC_ALL=C.UTF-8"});
  std::string box;
  ASSERT_TRUE(WaitUntil([&] { return !(box = FindWindow("^アプリケーションエラー$")).empty(); }))
      << bar.Errors();
  EXPECT_NE(bar.Errors().find("EFOpenError がモジュール kavo の "), std::string::npos)
      << bar.Errors();
  EXPECT_NE(bar.Errors().find("ファイル " + folder_ + "/KavoKey.txt は開けません。 "),
            std::string::npos)
      << bar.Errors();
  bar.Signal(SIGTERM);
  EXPECT_EQ(bar.Wait(kPatience), 128 + SIGTERM);
}

TEST_F(BarTest, HelpVersionAndUnknownOptionsPrintAndExitWithoutADisplay) {
  const std::string exe = InstallBar();
  const struct {
    std::string options;
    std::string output;  // standard output and error together
    int code;
  } cases[] = {
      {"--help", "Without --home, this copy uses " + folder_ + "/", 0},
      {"-h", "--home <folder>", 0},
      {"--version", "kavo 0.1", 0},
      {"--frobnicate", "kavo: Unknown option 'frobnicate'.", 2},
      {"stray", "kavo: unexpected argument 'stray'", 2},
  };
  for (const auto& c : cases) {
    const std::string out = Sh("env -u DISPLAY " + exe + " " + c.options + " 2>&1; echo \"rc=$?\"");
    EXPECT_NE(out.find(c.output), std::string::npos) << c.options << ": " << out;
    EXPECT_NE(out.find("rc=" + std::to_string(c.code)), std::string::npos)
        << c.options << ": " << out;
  }
  EXPECT_NE(Sh("{ env -u DISPLAY " + exe + " --frobnicate 2>&1 >/dev/null; }").find("Usage: kavo"),
            std::string::npos);  // the usage goes to standard error
}

TEST_F(BarTest, BarsWithDifferentHomeFoldersRunSideBySide) {
  const std::string exe = InstallBar();
  std::vector<std::unique_ptr<Process>> bars;
  for (const char* home : {"/one", "/two"}) {
    bars.push_back(
        std::make_unique<Process>(std::vector<std::string>{exe, "--home", folder_ + home}, folder_,
                                  std::vector<std::string>{"LC_ALL=C.UTF-8"}));
  }
  EXPECT_TRUE(
      WaitUntil([] { return Sh("xdotool search --onlyvisible --name '^Form1$' | wc -l") == "2"; }));
  for (auto& bar : bars) {
    bar->Signal(SIGTERM);
    EXPECT_EQ(bar->Wait(kPatience), 0) << bar->Errors();
  }
  for (const char* home : {"/one", "/two"}) {
    EXPECT_NE(test::ReadBytes(folder_ + home + "/Kavo.ini").find("[Form]"), std::string::npos)
        << home;
  }
  EXPECT_FALSE(std::filesystem::exists(folder_ + "/Kavo.ini"));
}

}  // namespace
}  // namespace kavo::e2e
