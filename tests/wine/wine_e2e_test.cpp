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
  static void SetUpTestSuite() { StartDesktop(); }
  static void TearDownTestSuite() {
    Sh("wineserver -k 2>/dev/null; true");
    StopDesktop();
  }

  void SetUp() override {
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

  std::vector<std::string> WineEnv() const {
    return {"WINEPREFIX=" + Env("WINEPREFIX"), "WINEDEBUG=-all",
            "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d"};
  }

  // The portable bar, started from its folder; waits for its window.
  void StartBar() {
    processes_.push_back(
        std::make_unique<Process>(std::vector<std::string>{"wine", folder_ + "/Kavo/kavo.exe"},
                                  folder_ + "/Kavo", WineEnv()));
    Process& bar = *processes_.back();
    ASSERT_TRUE(WaitUntil([&] { return !(bar_ = FindWindow("^Form1$")).empty(); }, 60s))
        << "the bar did not appear: " << bar.Errors();
  }

  // The logging window with this title, in front once started.
  void StartTarget(const std::string& title, int x = 400, int y = 300) {
    processes_.push_back(std::make_unique<Process>(
        std::vector<std::string>{"wine", Env("KAVO_WINDOWS_TARGET"), title, Log(title),
                                 std::to_string(x), std::to_string(y)},
        folder_, WineEnv()));
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

  std::string folder_;
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

}  // namespace
}  // namespace kavo::e2e
