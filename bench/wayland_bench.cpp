// The bar on headless sway and headless KWin: from the release of a click on the Undo button to
// the moment a Wayland window receives the last key of Ctrl+Z, the click sent through a virtual
// pointer (sway) or KWin's fake input, and the key events stamped by the receiving window with
// the same monotonic clock; and the bar's wake-ups while idle, with Follow off and on.

#include <signal.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "kwin_hand.h"
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

// Clicks on the Undo button at (x, y) into the target whose log this is: the time from each
// click's release (click returns it) to the last key up, the first click (which takes the
// target) left out.
std::vector<double> ClickTimes(const std::string& log, const std::function<long long()>& click) {
  std::vector<double> clicks;
  for (int i = 0; i < 51; ++i) {
    const std::size_t before = Lines(log).size();
    const long long released = click();
    std::vector<std::string> lines;
    if (!kavo::e2e::WaitUntil([&] { return (lines = Lines(log)).size() >= before + 4; }, 2s))
      continue;
    const std::string& last = lines[before + 3];  // "release Control_L <ns>"
    const long long received = std::stoll(last.substr(last.rfind(' ') + 1));
    if (i > 0) clicks.push_back(static_cast<double>(received - released) / 1e6);
  }
  return clicks;
}

void PrintClicks(const char* where, const std::vector<double>& clicks) {
  std::printf("\nOn %s:\n", where);
  std::printf("%-34s %11.2f ms\n", "click to last key up (median)", Median(clicks));
  std::printf("%-34s %14zu\n", "clicks measured (of 50)", clicks.size());
}

// KWin: the bar as a panel at its place, typing through fake input.
void OnKWin() {
#ifndef KAVO_KWIN_DRIVER
  std::printf("KWin click benchmark skipped: this build has no KDE Plasma backend\n");
#else
  if (const auto why = WaylandSession::Unavailable(WaylandSession::Compositor::KWin);
      !why.empty()) {
    std::printf("KWin click benchmark skipped: %s\n", why.c_str());
    return;
  }
  WaylandSession session(WaylandSession::Compositor::KWin, {"LayoutList=us"});
  kavo::e2e::KWinHand hand(session, KAVO_KWIN_DRIVER);
  const std::string folder = session.RuntimeFolder() + "/bench";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(KAVO_EXECUTABLE, folder + "/kavo");
  std::ofstream(folder + "/Kavo.ini", std::ios::binary) << "[Form]\r\nTop=300\r\nLeft=200\r\n";
  session.GiveFolder(folder);
  session.Authorize(folder + "/kavo", "org_kde_plasma_window_management,org_kde_kwin_fake_input");
  std::unique_ptr<kavo::e2e::Process> bar;
  // KWin reads the new desktop file within a second; a bar started before says so and is
  // started again.
  kavo::e2e::WaitUntil([&] {
    bar = session.Start({folder + "/kavo"}, folder);
    std::this_thread::sleep_for(1s);
    return bar->Errors().empty();
  });
  const std::string log = folder + "/target.log";
  auto target = session.Start({KAVO_WAYLAND_KEY_TARGET, "Target", log, "kavo.target", "stamps"},
                              folder, {"QT_QPA_PLATFORM=wayland"});
  kavo::e2e::WaitUntil([&] { return hand.Active() == "Target"; });
  std::this_thread::sleep_for(500ms);
  hand.MoveTo(200 + 25, 300 + 36);  // Undo
  const auto clicks = ClickTimes(log, [&] {
    std::this_thread::sleep_for(30ms);
    hand.Button(true);
    return hand.Button(false);
  });
  PrintClicks("headless KWin (KDE Plasma's backend)", clicks);
  std::printf("%-34s %14ld\n", "wake-ups in 10 s idle", IdleWakeups(*bar));
  bar->Signal(SIGTERM);
  bar->Wait(5s);
#endif
}

}  // namespace

int main() {
  if (const auto why = WaylandSession::Unavailable(WaylandSession::Compositor::Sway);
      !why.empty()) {
    std::printf("Wayland click benchmark skipped: %s\n", why.c_str());
    OnKWin();
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
  const auto clicks = ClickTimes(log, [&] {
    seat.MoveTo(x, y);
    std::this_thread::sleep_for(30ms);
    seat.Button(true);
    const long long released = NowNs();
    seat.Button(false);
    return released;
  });
  PrintClicks("headless sway (the wlroots backend)", clicks);
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
  OnKWin();
  return 0;
}
