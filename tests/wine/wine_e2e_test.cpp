// The Windows bar, as a Windows user gets it (the portable folder), under Wine on Xvfb with
// openbox: clicked with the mouse, typing into a Win32 window of the tests' own that logs the
// key messages it receives. The folders come from the environment the Windows test script sets:
//   KAVO_WINDOWS_PORTABLE  the portable folder (kavo.exe and what it loads)
//   KAVO_WINDOWS_TARGET    the logging window's executable
//   WINEPREFIX             the Wine prefix, booted already

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <thread>

#include "desktop.h"

namespace kavo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Messages = std::vector<std::string>;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// With no settings file the bar stands at (100, 100); its buttons, 50 x 25 with gaps of 2,
// start 24 below its top: the middle of button i.
constexpr int kButtonY = 100 + 24 + 12;
int ButtonX(int index) {
  return 100 + 25 + index * 52;
}

// A key chord as a Win32 window receives it: the modifier, the key and its character, then the
// releases in reverse order.
Messages Chord(int modifier, int key, int character) {
  return {"KEYDOWN " + std::to_string(modifier), "KEYDOWN " + std::to_string(key),
          "CHAR " + std::to_string(character), "KEYUP " + std::to_string(key),
          "KEYUP " + std::to_string(modifier)};
}

class WineBarTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { desktopProblem_ = SetUpProblem(StartDesktop); }
  static void TearDownTestSuite() {
    Sh("wineserver -k 2>/dev/null; true");
    StopDesktop();
  }

  void SetUp() override {
    ASSERT_TRUE(desktopProblem_.empty()) << desktopProblem_;
    ASSERT_FALSE(Env("KAVO_WINDOWS_PORTABLE").empty()) << "run by scripts/windows-tests.sh";
    char pattern[] = "/tmp/kavo-wine-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
    fs::copy(Env("KAVO_WINDOWS_PORTABLE"), folder_ + "/Kavo", fs::copy_options::recursive);
  }
  void TearDown() override {
    processes_.clear();
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  // Wine takes the system's code page from the locale: 1252 in English, 932 in Japanese.
  std::vector<std::string> WineEnv() const {
    return {"WINEPREFIX=" + Env("WINEPREFIX"), "WINEDEBUG=-all",
            "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d", "LANG=" + locale_,
            "LC_ALL=" + locale_};
  }
  std::unique_ptr<Process> Wine(std::vector<std::string> argv, const std::string& folder) const {
    argv.insert(argv.begin(), "wine");
    return std::make_unique<Process>(argv, folder, WineEnv());
  }

  // The bar, started from its folder (the portable one unless given); waits for its window.
  void StartBar(const std::string& exe = "") {
    const std::string program = exe.empty() ? folder_ + "/Kavo/kavo.exe" : exe;
    processes_.push_back(Wine({program}, fs::path(program).parent_path().string()));
    Process& bar = *processes_.back();
    ASSERT_TRUE(WaitUntil([&] { return !(bar_ = FindWindow("^Form1$")).empty(); }, 60s))
        << "the bar did not appear: " << bar.Errors();
    // Drawn, and so ready for clicks: Wine maps the window before the toolkit paints it.
    ASSERT_TRUE(WaitUntil(
        [&] {
          const Geometry g = WindowGeometry(bar_);
          return PixelAt(g.x + 10, g.y + 10) == "#4169E1";
        },
        60s))
        << "the bar was not drawn";
  }

  // The logging window with this title, in front once started; program names the copy of the
  // logging program it runs as (its program name, for sets per program).
  void StartTarget(const std::string& title, int x = 400, int y = 300,
                   const std::string& program = "") {
    std::string exe = Env("KAVO_WINDOWS_TARGET");
    if (!program.empty()) {
      const std::string copy = folder_ + "/" + program + ".exe";
      fs::copy_file(exe, copy, fs::copy_options::overwrite_existing);
      exe = copy;
    }
    processes_.push_back(
        Wine({exe, title, Log(title), std::to_string(x), std::to_string(y)}, folder_));
    std::string window;
    ASSERT_TRUE(WaitUntil([&] { return !(window = FindWindow("^" + title + "$")).empty(); }, 60s))
        << "target " << title << " did not appear";
    targets_[title] = window;
    Activate(window);
    ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == window; }))
        << "target " << title << " did not come to the front";
  }

  std::string Log(const std::string& title) const { return folder_ + "/" + title + ".log"; }
  // The key messages the target received, its activations left out.
  Messages Keys(const std::string& title) const {
    Messages keys;
    std::istringstream in(test::ReadBytes(Log(title)));
    for (std::string line; std::getline(in, line);) {
      if (line != "ACTIVE" && line != "INACTIVE") keys.push_back(line);
    }
    return keys;
  }
  Messages AwaitKeys(const std::string& title, std::size_t count) const {
    WaitUntil([&] { return Keys(title).size() >= count; }, 10s);
    return Keys(title);
  }

  std::string locale_ = "en_US.UTF-8";
  std::string folder_;
  static inline std::string desktopProblem_;
  std::string bar_;
  std::map<std::string, std::string> targets_;
  std::vector<std::unique_ptr<Process>> processes_;
};

TEST_F(WineBarTest, DefaultButtonsTypeTheirExactMessagesAndTheTargetKeepsTheFront) {
  StartTarget("Target");
  StartBar();
  ClickAt(500, 400);  // into the target: it becomes the bar's target
  const Messages expected[] = {Chord(17, 'Z', 26), Chord(17, 'X', 24), Chord(17, 'C', 3),
                               Chord(17, 'V', 22)};
  Messages all;
  for (int i = 0; i < 4; ++i) {
    ClickAt(ButtonX(i), kButtonY);
    all.insert(all.end(), expected[i].begin(), expected[i].end());
    EXPECT_EQ(AwaitKeys("Target", all.size()), all) << "button " << i;
    EXPECT_EQ(ActiveWindow(), targets_["Target"]) << "button " << i;
  }
}

TEST_F(WineBarTest, ALatchedSpaceIsHeldThroughADragAndReleasedAfterIt) {
  test::WriteBytes(folder_ + "/Kavo/KavoKey.txt", "Pan,Space,,,latch\r\nUndo,Ctrl,Z\r\n");
  StartTarget("Canvas");
  StartBar();
  ClickAt(500, 400);
  ClickAt(ButtonX(0), kButtonY);
  EXPECT_EQ(AwaitKeys("Canvas", 2), (Messages{"KEYDOWN 32", "CHAR 32"}))
      << "the target's whole log:\n"
      << test::ReadBytes(Log("Canvas")) << "the bar's errors:\n"
      << processes_[1]->Errors();
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(Keys("Canvas").size(), 2u) << "the latch let go before the stroke";
  DragFromTo(450, 380, 600, 420);
  EXPECT_EQ(AwaitKeys("Canvas", 3), (Messages{"KEYDOWN 32", "CHAR 32", "KEYUP 32"}));
}

TEST_F(WineBarTest, AProgramsOwnSetReplacesTheButtonsWhenItBecomesTheTarget) {
  test::WriteBytes(folder_ + "/Kavo/KavoKey.paint.txt", "Brush,B\r\n");
  StartTarget("Canvas", 400, 300, "Paint");
  StartBar();
  ClickAt(500, 400);
  std::this_thread::sleep_for(500ms);  // the set follows once the click is handled
  ClickAt(ButtonX(0), kButtonY);
  EXPECT_EQ(AwaitKeys("Canvas", 3), (Messages{"KEYDOWN 66", "CHAR 98", "KEYUP 66"}));
}

// Following: each window the user clicks into takes the next click, with its program's own
// set. (Wine keeps the system's foreground notices within the process that changed the
// foreground; there the bar looks again a moment after each click.)
TEST_F(WineBarTest, FollowingEachWindowBroughtForwardTakesTheNextClick) {
  test::WriteBytes(folder_ + "/Kavo/KavoKey.paint.txt", "Brush,B\r\n");
  test::WriteBytes(folder_ + "/Kavo/Kavo.ini", "[Target]\r\nFollow=1\r\n");
  StartTarget("Canvas", 400, 300, "Paint");
  StartTarget("Notes", 400, 550);
  StartBar();
  ClickAt(500, 600);  // into Notes, in front: the target
  ClickAt(ButtonX(0), kButtonY);
  Messages notes = Chord(17, 'Z', 26);
  EXPECT_EQ(AwaitKeys("Notes", notes.size()), notes);

  const struct {
    const char* window;
    int x, y;  // a point inside it
    Messages keys;
  } rounds[] = {{"Canvas", 500, 400, {"KEYDOWN 66", "CHAR 98", "KEYUP 66"}},
                {"Notes", 500, 650, Chord(17, 'Z', 26)}};
  // The title's coral letters in the strip.
  const auto title = [] { return CountPixels(126, 100, 200, 20, "#FF7F50"); };
  for (const auto& round : rounds) {
    const int titleBefore = title();
    ClickAt(round.x, round.y);
    ASSERT_TRUE(WaitUntil([&] { return title() != titleBefore; })) << round.window;
    std::this_thread::sleep_for(300ms);  // the set follows on the bar's next turn
    const std::size_t before = Keys(round.window).size();
    ClickAt(ButtonX(0), kButtonY);
    const Messages all = AwaitKeys(round.window, before + round.keys.size());
    EXPECT_EQ(Messages(all.begin() + static_cast<long>(before), all.end()), round.keys)
        << round.window;
  }
}

TEST_F(WineBarTest, ASecondStartBringsTheRunningBarForwardAndEnds) {
  StartBar();
  const auto second = Wine({folder_ + "/Kavo/kavo.exe"}, folder_ + "/Kavo");
  EXPECT_EQ(second->Wait(60s), 0) << second->Errors();
  EXPECT_EQ(FindWindow("^Form1$"), bar_);
}

// Apply writes the key file in the system's code page, as it was read: an existing line in it
// comes back byte for byte beside the new one.
class WineSettingsTest : public WineBarTest,
                         public testing::WithParamInterface<std::pair<std::string, std::string>> {};

TEST_P(WineSettingsTest, AddAndApplyWriteTheKeyFileInTheSystemsCodePage) {
  locale_ = GetParam().first;
  const std::string line = GetParam().second + ",Ctrl,Z\r\n";
  test::WriteBytes(folder_ + "/Kavo/KavoKey.txt", line);
  StartBar();
  const Geometry bar = WindowGeometry(bar_);
  ClickAt(bar.x + 10, bar.y + 10);  // the menu
  std::this_thread::sleep_for(500ms);
  Sh("xdotool key Down Return");  // Settings
  std::string settings;
  ASSERT_TRUE(WaitUntil([&] { return !(settings = FindWindow("^Settings$")).empty(); }, 20s));
  // By the keyboard alone, as the page's places depend on the font: the first key chooser has
  // the focus; its type-ahead picks F1, four tabs on is the caption, then Add, the list, Applay.
  Activate(settings);
  Sh("xdotool key F Tab Tab Tab Tab");
  Sh("xdotool type Help");
  Sh("xdotool key Tab space Tab Tab space");
  EXPECT_TRUE(WaitUntil(
      [&] { return test::ReadBytes(folder_ + "/Kavo/KavoKey.txt") == line + "Help,F1\r\n"; }, 10s))
      << test::ReadBytes(folder_ + "/Kavo/KavoKey.txt");
}

INSTANTIATE_TEST_SUITE_P(Locales, WineSettingsTest,
                         testing::Values(std::pair<std::string, std::string>{"en_US.UTF-8",
                                                                             "Caf\xE9"},
                                         // "元に戻す" in code page 932
                                         std::pair<std::string, std::string>{
                                             "ja_JP.UTF-8", "\x8C\xB3\x82\xC9\x96\xDF\x82\xB7"}),
                         [](const auto& info) { return info.param.first.substr(0, 2); });

TEST_F(WineBarTest, TheInstallerInstallsPerUserAndTheUninstallerKeepsTheUsersFiles) {
  const std::string drive = Env("WINEPREFIX") + "/drive_c/users/" + Sh("id -un");
  const std::string program = drive + "/AppData/Local/Programs/Kavo";
  const std::string data = drive + "/AppData/Roaming/Kavo";
  fs::remove_all(program);
  fs::remove_all(data);
  const auto setup = Wine({Env("KAVO_WINDOWS_SETUP"), "/S"}, folder_);
  ASSERT_EQ(setup->Wait(120s), 0) << setup->Errors();
  ASSERT_TRUE(fs::exists(program + "/bin/kavo.exe"));
  EXPECT_TRUE(fs::exists(program + "/share/kavo/installed"));

  StartBar(program + "/bin/kavo.exe");
  Sh("wmctrl -c Form1");  // the system's close request, as the task bar sends it
  EXPECT_TRUE(WaitUntil([&] { return FindWindow("^Form1$").empty(); }, 20s));
  EXPECT_TRUE(WaitUntil([&] { return fs::exists(data + "/Kavo.ini"); }, 10s))
      << "an installed bar keeps its files in %APPDATA%\\Kavo";
  EXPECT_FALSE(fs::exists(program + "/bin/Kavo.ini"));

  const auto uninstall = Wine({program + "/Uninstall.exe", "/S"}, folder_);
  EXPECT_TRUE(WaitUntil([&] { return !fs::exists(program + "/bin"); }, 60s));
  EXPECT_TRUE(fs::exists(data + "/Kavo.ini")) << "the user's files stay";
}

}  // namespace
}  // namespace kavo::e2e
