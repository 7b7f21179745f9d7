// The installed package as a user meets it: /usr/bin/kavo run by an ordinary user who has no
// config folder yet. Run by scripts/package-test.sh once it has installed the package; skipped
// otherwise.

#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "e2e_fixture.h"

namespace kavo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class PackageTest : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    const char* exe = std::getenv("KAVO_INSTALLED");
    const char* user = std::getenv("KAVO_TEST_USER");
    if (!exe || !user) GTEST_SKIP() << "needs the installed package (scripts/package-test.sh)";
    const passwd* entry = ::getpwnam(user);
    ASSERT_NE(entry, nullptr) << user;
    exe_ = exe;
    user_ = user;
    home_ = entry->pw_dir;
    config_ = home_ + "/.config/kavo";
    fs::remove_all(home_ + "/.config");
  }
  void TearDown() override {
    if (!home_.empty()) fs::remove_all(home_ + "/.config");
    DesktopTest::TearDown();
  }

  // The installed bar, started as the user would start it from the menu: same environment but
  // the user's own home, no XDG_CONFIG_HOME.
  std::unique_ptr<Process> StartInstalled() const {
    return std::make_unique<Process>(
        std::vector<std::string>{"setpriv", "--reuid=" + user_, "--regid=" + user_, "--init-groups",
                                 "env", "-u", "XDG_CONFIG_HOME", "-u", "XDG_RUNTIME_DIR",
                                 "HOME=" + home_, "LC_ALL=C.UTF-8", exe_},
        "/");
  }
  std::unique_ptr<Process> StartAndWaitForTheBar() {
    auto bar = StartInstalled();
    EXPECT_TRUE(WaitUntil([&] { return !(bar_ = FindWindow("^Form1$")).empty(); }))
        << "the bar did not appear: " << bar->Errors();
    return bar;
  }
  int VisibleBars() const {
    const std::string count = Sh("xdotool search --onlyvisible --name '^Form1$' | wc -l");
    return count.empty() ? 0 : std::stoi(count);
  }

  std::string exe_, user_, home_, config_;
};

TEST_F(PackageTest, AnOrdinaryUsersFilesGoToTheConfigFolderAndOneBarRunsPerFolder) {
  auto bar = StartAndWaitForTheBar();
  EXPECT_EQ(Bar().width, 250);  // the defaults: no file was there
  EXPECT_FALSE(fs::exists(config_));

  AddF1BindingInTheSettings("Help", config_ + "/KavoKey.txt");
  EXPECT_EQ(test::ReadBytes(config_ + "/KavoKey.txt"),
            "\xEF\xBB\xBFUndo,Ctrl,Z\r\nCut,Ctrl,X\r\nCopy,Ctrl,C\r\nPast,Ctrl,V\r\nHelp,F1\r\n");
  EXPECT_EQ(fs::status(config_).permissions() & fs::perms::all, fs::perms::owner_all);
  Sh("wmctrl -c Settings");

  // A second start brings the running bar forward, restored from minimised, and leaves.
  Sh("xdotool windowminimize " + bar_);
  ASSERT_TRUE(WaitUntil([&] { return VisibleBars() == 0; }));
  auto second = StartInstalled();
  EXPECT_EQ(second->Wait(kPatience), 0) << second->Errors();
  EXPECT_TRUE(WaitUntil([&] { return VisibleBars() == 1; }));

  Sh("wmctrl -i -c " + bar_);
  EXPECT_EQ(bar->Wait(kPatience), 0) << bar->Errors();
  EXPECT_NE(test::ReadBytes(config_ + "/Kavo.ini").find("[Form]"), std::string::npos);
  EXPECT_FALSE(fs::exists(fs::path(exe_).parent_path() / "Kavo.ini"));
  EXPECT_FALSE(fs::exists(fs::path(exe_).parent_path() / "KavoKey.txt"));
}

TEST_F(PackageTest, TheSessionsEndWithAnUnwritableFolderEndsAtOnceAndSaysWhyOnStandardError) {
  fs::create_directories(config_);
  const passwd* user = ::getpwnam(user_.c_str());
  for (const std::string& folder : {home_ + "/.config", config_}) {
    ASSERT_EQ(::chown(folder.c_str(), user->pw_uid, user->pw_gid), 0) << folder;
  }
  ::chmod(config_.c_str(), 0500);
  auto bar = StartAndWaitForTheBar();
  bar->Signal(SIGTERM);
  EXPECT_EQ(bar->Wait(kPatience), 1);
  EXPECT_NE(bar->Errors().find("Kavo.ini\" を作成できません。Permission denied."),
            std::string::npos)
      << bar->Errors();
  EXPECT_TRUE(FindWindow("^エラー$").empty());
  EXPECT_TRUE(FindWindow("^Form1$").empty());
}

}  // namespace
}  // namespace kavo::e2e
