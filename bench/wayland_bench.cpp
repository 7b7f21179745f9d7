// The bar on headless sway: from the release of a click on the Undo button to the moment a
// Wayland window receives the last key of Ctrl+Z, the click sent through a virtual pointer and
// the key events stamped by the receiving window with the same monotonic clock; and the bar's
// wake-ups while idle, with Follow off and on.

#include <signal.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "process_figures.h"
#include "seat_driver.h"
#include "wayland_session.h"

namespace {

using namespace std::chrono_literals;
using kavo::bench::Median;
using kavo::bench::Wakeups;
using kavo::e2e::WaylandSession;

long long NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The bar's wake-ups over 10 s in which nothing happens.
long IdleWakeups(const kavo::e2e::Process& bar) {
  std::this_thread::sleep_for(500ms);
  const long before = Wakeups(bar.pid());
  std::this_thread::sleep_for(10s);
  return Wakeups(bar.pid()) - before;
}

}  // namespace

int main() {
  if (const auto why = WaylandSession::Unavailable(WaylandSession::Compositor::Sway);
      !why.empty()) {
    std::printf("Wayland click benchmark skipped: %s\n", why.c_str());
    return 0;
  }
  WaylandSession session(WaylandSession::Compositor::Sway,
                         {R"(for_window [app_id="org.kavo.kavo"] floating enable)",
                          R"(no_focus [app_id="org.kavo.kavo" title="^Form1$"])"});
  kavo::e2e::SeatDriver seat(session.DisplayPath());
  char pattern[] = "/tmp/kavo-wl-bench-XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  const std::string folder = pattern;
  std::filesystem::copy_file(KAVO_EXECUTABLE, folder + "/kavo");
  session.GiveFolder(folder);

  auto bar = session.Start({folder + "/kavo"}, folder, {"QT_QPA_PLATFORM=wayland"});
  kavo::e2e::Geometry rect;
  kavo::e2e::WaitUntil([&] { return (rect = session.Find("Form1").rect).width > 0; });
  const std::string log = folder + "/target.log";
  auto target = session.Start({KAVO_WAYLAND_KEY_TARGET, "Target", log, "kavo.target", "stamps"},
                              folder, {"QT_QPA_PLATFORM=wayland"});
  kavo::e2e::WaitUntil([&] { return session.Focused() == "Target"; });
  std::this_thread::sleep_for(500ms);

  const int x = rect.x + 25, y = rect.y + 36;  // Undo
  std::vector<double> clicks;
  for (int i = 0; i < 51; ++i) {
    const std::size_t before = Lines(log).size();
    seat.MoveTo(x, y);
    std::this_thread::sleep_for(30ms);
    seat.Button(true);
    const long long released = NowNs();
    seat.Button(false);
    std::vector<std::string> lines;
    if (!kavo::e2e::WaitUntil([&] { return (lines = Lines(log)).size() >= before + 4; }, 2s))
      continue;
    const std::string& last = lines[before + 3];  // "release Control_L <ns>"
    const long long received = std::stoll(last.substr(last.rfind(' ') + 1));
    if (i > 0) clicks.push_back(static_cast<double>(received - released) / 1e6);  // 0 acquires
  }
  std::printf("\nOn headless sway (the Wayland backend):\n");
  std::printf("%-34s %11.2f ms\n", "click to last key up (median)", Median(clicks));
  std::printf("%-34s %14zu\n", "clicks measured (of 50)", clicks.size());
  std::printf("%-34s %14ld\n", "wake-ups in 10 s idle", IdleWakeups(*bar));
  bar->Signal(SIGTERM);
  bar->Wait(5s);

  // Following: the target, in front at the start, is taken by the first click.
  std::ofstream(folder + "/Kavo.ini", std::ios::binary) << "[Target]\r\nFollow=1\r\n";
  session.GiveFolder(folder);
  bar = session.Start({folder + "/kavo"}, folder, {"QT_QPA_PLATFORM=wayland"});
  kavo::e2e::WaitUntil([&] { return (rect = session.Find("Form1").rect).width > 0; });
  std::this_thread::sleep_for(500ms);
  const std::size_t before = Lines(log).size();
  seat.Click(rect.x + 25, rect.y + 36);
  kavo::e2e::WaitUntil([&] { return Lines(log).size() >= before + 4; }, 2s);
  std::printf("%-34s %14ld\n", "the same, Follow on", IdleWakeups(*bar));
  bar->Signal(SIGTERM);
  bar->Wait(5s);
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  return 0;
}
