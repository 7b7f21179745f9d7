#include "e2e_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

namespace kavo::e2e {

void DesktopTest::SetUp() {
  ASSERT_TRUE(desktopProblem_.empty()) << desktopProblem_;
  char pattern[] = "/tmp/kavo-e2e-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  folder_ = pattern;
}

void DesktopTest::TearDown() {
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

std::string DesktopTest::InstallBar(const std::string& settings) {
  if (!settings.empty()) test::WriteBytes(folder_ + "/Kavo.ini", settings);
  const std::string exe = folder_ + "/kavo";
  std::filesystem::copy_file(KAVO_EXECUTABLE, exe,
                             std::filesystem::copy_options::overwrite_existing);
  return exe;
}

std::unique_ptr<Process> DesktopTest::StartBar(const std::string& settings,
                                               std::vector<std::string> env) {
  env.insert(env.begin(), "LC_ALL=C.UTF-8");
  auto bar =
      std::make_unique<Process>(std::vector<std::string>{InstallBar(settings)}, folder_, env);
  EXPECT_TRUE(WaitUntil([&] { return !(bar_ = FindWindow("^Form1$")).empty(); }))
      << "the bar did not appear: " << bar->Errors();
  // Drawn, and so ready for clicks: its blue square shows at its top-left corner, or its green
  // one at the top-right where the other lies off the screen.
  EXPECT_TRUE(WaitUntil([&] {
    const Geometry g = Bar();
    return PixelAt(g.x + 10, g.y + 10) == "#4169E1" ||
           PixelAt(g.x + g.width - 10, g.y + 10) == "#008000";
  })) << "the bar was not drawn";
  return bar;
}

// Waits for the menu to open and to close again, however long a busy machine takes.
void DesktopTest::ChooseFromMenu(int item) const {
  std::string pid = Sh("xdotool getwindowpid " + bar_);
  while (!pid.empty() && pid.back() == '\n') pid.pop_back();
  const auto visible = [&] {
    std::vector<std::string> ids;
    std::istringstream in(Sh("xdotool search --onlyvisible --pid " + pid + " 2>/dev/null"));
    for (std::string id; std::getline(in, id);) ids.push_back(id);
    return ids;
  };
  const std::vector<std::string> before = visible();
  const Geometry g = Bar();
  ClickAt(g.x + 10, g.y + 10);
  std::string menu;
  const bool opened = WaitUntil([&] {
    for (const std::string& id : visible()) {
      if (std::find(before.begin(), before.end(), id) == before.end()) menu = id;
    }
    return !menu.empty();
  });
  ASSERT_TRUE(opened) << "the bar's menu did not open";
  // The menu takes the keyboard a moment after it shows, later on a loaded machine: the first
  // Down highlights an item once it has it, and one that came too early is sent again.
  const Geometry m = WindowGeometry(menu);
  const auto highlighted = [&] { return CountPixels(m.x, m.y, m.width, m.height, "#308CC6") > 0; };
  bool ready = false;
  for (int attempt = 0; attempt < 5 && !ready; ++attempt) {
    Sh("xdotool key Down");
    ready = WaitUntil(highlighted, std::chrono::seconds(3));
  }
  ASSERT_TRUE(ready) << "the bar's menu did not take the keyboard";
  std::string keys;
  for (int i = 0; i < item; ++i) keys += " Down";
  Sh("xdotool key" + keys + " Return");
  EXPECT_TRUE(WaitUntil([&] {
    const std::vector<std::string> now = visible();
    return std::find(now.begin(), now.end(), menu) == now.end();
  })) << "the bar's menu did not close";
}

void DesktopTest::AddF1BindingInTheSettings(const std::string& caption, std::string keyFile) const {
  if (keyFile.empty()) keyFile = folder_ + "/KavoKey.txt";
  ChooseFromMenu(0);  // Settings
  std::string settings;
  ASSERT_TRUE(WaitUntil([&] { return !(settings = FindWindow("^Settings$")).empty(); }));
  const Geometry s = WindowGeometry(settings);
  // The page widens evenly where the font needs more room than the design's 308 pixels.
  const auto x = [&](int design) { return s.x + design * s.width / 308; };
  ClickAt(x(66), s.y + 171);  // the caption box
  Sh("xdotool type " + caption);
  // Back past the mode chooser and two key choosers to the first one: F1.
  Sh("xdotool key shift+Tab shift+Tab shift+Tab shift+Tab F");
  ClickAt(x(184), s.y + 171);  // Add
  ClickAt(x(256), s.y + 387);  // Applay
  // Applied once the key file holds the binding.
  EXPECT_TRUE(WaitUntil(
      [&] { return test::ReadBytes(keyFile).find(caption + ",F1") != std::string::npos; }));
}

std::unique_ptr<Process> DesktopTest::StartTarget(const std::string& title, int x, int y,
                                                  std::string name,
                                                  const std::vector<std::string>& options) {
  if (name.empty()) name = title;
  std::vector<std::string> argv = {KAVO_KEY_TARGET, title, folder_ + "/" + name + ".log",
                                   std::to_string(x), std::to_string(y)};
  argv.insert(argv.end(), options.begin(), options.end());
  auto target = std::make_unique<Process>(argv);
  std::string window;
  EXPECT_TRUE(WaitUntil([&] { return !(window = TargetWindow(name)).empty(); }))
      << "target window " << name << " did not appear";
  // Mapped and then activated: wait until it is in front.
  Activate(window);
  EXPECT_EQ(ActiveWindow(), window) << "target " << name << " did not come to the front";
  return target;
}

std::string DesktopTest::TargetWindow(const std::string& name) const {
  std::string id = test::ReadBytes(folder_ + "/" + name + ".log.id");
  while (!id.empty() && id.back() == '\n') id.pop_back();
  return id;
}

std::vector<std::string> DesktopTest::Received(const std::string& name) const {
  std::vector<std::string> lines;
  std::istringstream in(test::ReadBytes(folder_ + "/" + name + ".log"));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> DesktopTest::AwaitReceived(const std::string& name,
                                                    std::size_t count) const {
  WaitUntil([&] { return Received(name).size() >= count; });
  return Received(name);
}

}  // namespace kavo::e2e
