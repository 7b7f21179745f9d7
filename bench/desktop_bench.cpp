// Whole-process figures on one Xvfb and openbox, side by side with a bare Qt window of our own
// (the toolkit's floor) and xvkbd (an on-screen keyboard in C): start-up to the window being
// mapped, CPU time until then, resident memory once idle, the same for a bar of 100,000
// bindings, click-to-keystroke latency into a window of another program, and wake-ups while idle.
//
//   kavo_desktop_bench            (runs from make bench; needs Xvfb, openbox, xdotool, xvkbd)

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "desktop.h"
#include "window_observer.h"

namespace {

namespace fs = std::filesystem;
using kavo::e2e::Process;
using namespace kavo::bench;

struct Subject {
  std::string name;
  std::vector<std::string> argv;
  std::string windowPrefix;
  std::string folder;
};

struct StartFigures {
  std::vector<double> mappedMs, cpuMs, rssKb;
};

// One start: exec to the window being mapped, the CPU time spent by then, and resident memory
// once idle.
void StartOnce(const Subject& subject, Observer& observer, StartFigures& figures) {
  observer.Drain();
  const auto start = Clock::now();
  Process process(subject.argv, subject.folder, {"LC_ALL=C.UTF-8"});
  if (observer.AwaitMapped(subject.windowPrefix, std::chrono::seconds(10))) {
    figures.mappedMs.push_back(Ms(Clock::now() - start));
    figures.cpuMs.push_back(CpuMs(process.pid()));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  figures.rssKb.push_back(static_cast<double>(StatusField(process.pid(), "VmRSS")));
  process.Signal(SIGTERM);
  process.Wait(std::chrono::seconds(5));
}

struct ClickFigures {
  double clickMs = 0;
  int clicks = 0;
  long idleWakeups = 0;
};

// Click-to-keystroke latency into the target, then wake-ups over 10 s of idling.
std::pair<int, int> ClientOrigin(Display* display, const std::string& prefix);

// Clicks at (dx, dy) from the top-left corner of the window whose name matches windowName.
ClickFigures MeasureClicks(const Subject& subject, Observer& observer, Window target,
                           const std::string& windowName, int dx, int dy, KeySym lastKey) {
  ClickFigures figures;
  Process process(subject.argv, subject.folder, {"LC_ALL=C.UTF-8"});
  if (!observer.AwaitMapped(subject.windowPrefix, std::chrono::seconds(10))) return figures;
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  kavo::e2e::Activate(std::to_string(target));
  const auto [left, top] = ClientOrigin(observer.display(), windowName);
  const int x = left + dx, y = top + dy;
  observer.ClickToRelease(x, y, lastKey);  // the first click acquires the target
  std::vector<double> clicks;
  for (int i = 0; i < 50; ++i) {
    if (auto ms = observer.ClickToRelease(x, y, lastKey)) clicks.push_back(*ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  figures.clickMs = Median(clicks);
  figures.clicks = static_cast<int>(clicks.size());
  // The pointer goes back to the user's work, or the button's tooltip would show meanwhile.
  XTestFakeMotionEvent(observer.display(), -1, 700, 500, CurrentTime);
  XSync(observer.display(), False);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const long before = Wakeups(process.pid());
  std::this_thread::sleep_for(std::chrono::seconds(10));
  figures.idleWakeups = Wakeups(process.pid()) - before;
  process.Signal(SIGTERM);
  process.Wait(std::chrono::seconds(5));
  return figures;
}

// Keys held for a pen beside a tap, in one bar: click to the first key's press for a tap
// (Undo: Ctrl) and for a latch (Pan: Space), and from the end of the next stroke on the target
// to the latch's release.
struct HoldFigures {
  double tapPressMs = 0, latchPressMs = 0, latchReleaseMs = 0;
  int clicks = 0;
};

HoldFigures MeasureHolds(const Subject& kavo, Observer& observer, Window target) {
  HoldFigures figures;
  Process process(kavo.argv, kavo.folder, {"LC_ALL=C.UTF-8"});
  if (!observer.AwaitMapped(kavo.windowPrefix, std::chrono::seconds(10))) return figures;
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  kavo::e2e::Activate(std::to_string(target));
  const auto [x, y] = ClientOrigin(observer.display(), "Form1$");
  const int undoX = x + 25, panX = x + 25 + 52, row = y + 24 + 12;
  // Where the window manager put the target: a stroke on the desktop would take its focus.
  const auto [targetX, targetY] = ClientOrigin(observer.display(), "Bench target");
  observer.ClickToRelease(undoX, row, XK_Control_L);  // the first click acquires the target
  std::vector<double> tap, latch, release;
  for (int i = 0; i < 50; ++i) {
    if (auto ms = observer.ClickToKey(undoX, row, KeyPress, XK_Control_L)) tap.push_back(*ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    if (auto ms = observer.ClickToKey(panX, row, KeyPress, XK_space)) latch.push_back(*ms);
    // The stroke on the target that ends the latch.
    if (auto ms = observer.ClickToKey(targetX + 150, targetY + 100, KeyRelease, XK_space)) {
      release.push_back(*ms);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  figures.tapPressMs = Median(tap);
  figures.latchPressMs = Median(latch);
  figures.latchReleaseMs = Median(release);
  figures.clicks = static_cast<int>(latch.size());
  process.Signal(SIGTERM);
  process.Wait(std::chrono::seconds(5));
  return figures;
}

// From a window coming forward to the strip showing its title, in either mode, and wake-ups
// while idle once following.
struct TitleFigures {
  std::vector<double> lookingMs, followingMs;
  long followingIdleWakeups = -1;
};

constexpr unsigned long kCoral = 0xFF7F50;  // the title's colour

// The title's pixels in the strip of the bar whose window is at (x, y).
int TitlePixels(Observer& observer, std::pair<int, int> bar) {
  return observer.CountColour(bar.first + 26, bar.second, 198, 20, kCoral);
}

// Brings the window forward and returns the time from its coming forward until the strip shows
// its title whole: as many of the title's pixels as it has once settled (a frame drawn before
// the window's shape follows the new text shows some of them).
std::optional<double> TitleTime(Observer& observer, std::pair<int, int> bar, Window window,
                                int settled) {
  const auto forward = observer.Activate(window);
  if (!forward) return std::nullopt;
  while (Clock::now() - *forward < std::chrono::seconds(2)) {
    if (TitlePixels(observer, bar) == settled) return Ms(Clock::now() - *forward);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return std::nullopt;
}

// The title's pixels once the window has been in front for a while.
int SettledTitle(Observer& observer, std::pair<int, int> bar, Window window) {
  observer.Activate(window);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  return TitlePixels(observer, bar);
}

TitleFigures MeasureTitles(const Subject& kavo, const Subject& following, Observer& observer,
                           Window first, Window second) {
  TitleFigures figures;
  // Following, every time a window comes forward.
  observer.Activate(first);
  Process process(following.argv, following.folder, {"LC_ALL=C.UTF-8"});
  if (!observer.AwaitMapped(following.windowPrefix, std::chrono::seconds(10))) return figures;
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  const auto bar = ClientOrigin(observer.display(), "Form1$");
  const int titles[] = {SettledTitle(observer, bar, second), SettledTitle(observer, bar, first)};
  for (int i = 0; i < 20; ++i) {
    if (auto ms = TitleTime(observer, bar, i % 2 == 0 ? second : first, titles[i % 2])) {
      figures.followingMs.push_back(*ms);
    }
  }
  const long before = Wakeups(process.pid());
  std::this_thread::sleep_for(std::chrono::seconds(10));
  figures.followingIdleWakeups = Wakeups(process.pid()) - before;
  process.Signal(SIGTERM);
  process.Wait(std::chrono::seconds(5));

  // Not following, a window's coming forward changes the strip only while the bar looks: after
  // its start, with the window in front then passed over.
  for (int run = 0; run < 10; ++run) {
    observer.Activate(first);
    Process looking(kavo.argv, kavo.folder, {"LC_ALL=C.UTF-8"});
    if (!observer.AwaitMapped(kavo.windowPrefix, std::chrono::seconds(10))) continue;
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    if (auto ms = TitleTime(observer, bar, second, titles[0])) figures.lookingMs.push_back(*ms);
    looking.Signal(SIGTERM);
    looking.Wait(std::chrono::seconds(5));
  }
  return figures;
}

std::pair<int, int> ClientOrigin(Display* display, const std::string& prefix) {
  const std::string id = kavo::e2e::FindWindow("^" + prefix);
  if (id.empty()) return {0, 0};
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(display, std::stoul(id), DefaultRootWindow(display), 0, 0, &x, &y, &child);
  return {x, y};
}

}  // namespace

int main() {
  kavo::e2e::StartDesktop();
  const fs::path folder =
      fs::temp_directory_path() / ("kavo-desktop-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder / "large");
  fs::copy_file(KAVO_EXECUTABLE, folder / "kavo");
  fs::copy_file(KAVO_EXECUTABLE, folder / "large" / "kavo");
  {
    std::ofstream keys(folder / "large" / "KavoKey.txt", std::ios::binary);
    for (int i = 0; i < 100000; ++i) keys << "Binding " << i << ",Ctrl,Shift,Z\r\n";
  }

  {
    Observer observer;
    const Window target = observer.MakeTarget();

    const Subject kavo{"kavo", {(folder / "kavo").string()}, "Form1", folder.string()};
    const Subject reference{"reference", {KAVO_REFERENCE_BAR}, "Reference bar", folder.string()};
    const Subject xvkbd{"xvkbd", {"xvkbd", "-geometry", "+0+300"}, "xvkbd", folder.string()};
    const Subject large{"kavo 100,000",
                        {(folder / "large" / "kavo").string()},
                        "Form1",
                        (folder / "large").string()};
    const std::vector<const Subject*> subjects = {&kavo, &reference, &xvkbd, &large};

    // Twenty starts of each, interleaved, so that whatever else the machine does falls on all.
    constexpr int kStarts = 20;
    std::vector<StartFigures> starts(subjects.size());
    for (int run = 0; run < kStarts; ++run) {
      for (std::size_t s = 0; s < subjects.size(); ++s)
        StartOnce(*subjects[s], observer, starts[s]);
    }

    std::printf("\n%-34s", "");
    for (const Subject* subject : subjects) std::printf(" %14s", subject->name.c_str());
    const auto row = [&](const char* label, const char* unit, double scale,
                         std::vector<double> StartFigures::*field) {
      std::printf("\n%-34s", label);
      for (const StartFigures& f : starts)
        std::printf(" %11.1f %s", Median(f.*field) / scale, unit);
    };
    row("exec to mapped (median of 20)", "ms", 1, &StartFigures::mappedMs);
    row("CPU time until mapped (median)", "ms", 1, &StartFigures::cpuMs);
    row("resident memory, idle (median)", "MB", 1024, &StartFigures::rssKb);
    const auto ratio = [&](const char* label, std::size_t a, std::size_t b,
                           std::vector<double> StartFigures::*field, const char* target) {
      std::printf("\n%-46s %5.2fx  (target: %s)", label,
                  Median(starts[a].*field) / Median(starts[b].*field), target);
    };
    std::printf("\n");
    ratio("kavo / reference, start-up", 0, 1, &StartFigures::mappedMs, "1.1x");
    ratio("kavo / reference, CPU until mapped", 0, 1, &StartFigures::cpuMs, "1.1x");
    ratio("kavo / reference, resident memory", 0, 1, &StartFigures::rssKb, "1.1x");
    ratio("100,000 bindings / default bar, start-up", 3, 0, &StartFigures::mappedMs, "3x");
    ratio("100,000 bindings / default bar, memory", 3, 0, &StartFigures::rssKb, "1.2x");
    ratio("kavo / xvkbd, start-up", 0, 2, &StartFigures::mappedMs, "none");
    std::printf("\n");

    // The bar's Undo button, the reference's only button, and xvkbd's "z" key.
    const ClickFigures k =
        MeasureClicks(kavo, observer, target, "Form1$", 25, 24 + 12, XK_Control_L);
    const ClickFigures r =
        MeasureClicks(reference, observer, target, "Reference bar", 125, 65, XK_Control_L);
    const ClickFigures v = MeasureClicks(xvkbd, observer, target, "xvkbd", 92, 143, XK_z);
    std::printf("\n%-34s %14s %14s %14s", "", "kavo", "reference", "xvkbd");
    std::printf("\n%-34s %11.2f ms %11.2f ms %11.2f ms", "click to last key up (median)", k.clickMs,
                r.clickMs, v.clickMs);
    std::printf("\n%-34s %14d %14d %14d", "clicks measured (of 50)", k.clicks, r.clicks, v.clicks);
    // The same clicks with a compositor running, which blends the bar instead of cutting it out.
    kavo::e2e::StartCompositor();
    const ClickFigures kc =
        MeasureClicks(kavo, observer, target, "Form1$", 25, 24 + 12, XK_Control_L);
    const ClickFigures rc =
        MeasureClicks(reference, observer, target, "Reference bar", 125, 65, XK_Control_L);
    const ClickFigures vc = MeasureClicks(xvkbd, observer, target, "xvkbd", 92, 143, XK_z);
    kavo::e2e::StopCompositor();
    std::printf("\n%-34s %11.2f ms %11.2f ms %11.2f ms", "the same, with xcompmgr", kc.clickMs,
                rc.clickMs, vc.clickMs);
    std::printf("\n%-34s %5.2fx without a compositor, %5.2fx with one (target: 1.0x or below)",
                "kavo / xvkbd, click", k.clickMs / v.clickMs, kc.clickMs / vc.clickMs);
    std::printf("\n%-34s %14ld %14ld %14ld\n", "wake-ups in 10 s idle", k.idleWakeups,
                r.idleWakeups, v.idleWakeups);

    // A bar with a held binding beside the Undo button.
    std::ofstream(folder / "KavoKey.txt", std::ios::binary)
        << "Undo,Ctrl,Z\r\nPan,Space,,,latch\r\n";
    const HoldFigures h = MeasureHolds(kavo, observer, target);
    std::printf("\n%-34s %11.2f ms\n", "tap: click to first key down", h.tapPressMs);
    std::printf("%-34s %11.2f ms\n", "latch: click to key down", h.latchPressMs);
    std::printf("%-34s %11.2f ms\n", "latch: stroke's end to key up", h.latchReleaseMs);
    std::printf("%-34s %14d\n", "latches measured (of 50)", h.clicks);

    // The strip following the window in front, with Follow off and on.
    fs::create_directories(folder / "follow");
    fs::copy_file(KAVO_EXECUTABLE, folder / "follow" / "kavo");
    std::ofstream(folder / "follow" / "Kavo.ini", std::ios::binary) << "[Target]\r\nFollow=1\r\n";
    const Subject following{"kavo following",
                            {(folder / "follow" / "kavo").string()},
                            "Form1",
                            (folder / "follow").string()};
    const Window second = observer.MakeTarget("The second window of the benchmark", 150, 450);
    const TitleFigures t = MeasureTitles(kavo, following, observer, target, second);
    std::printf("\n%-34s %11.2f ms  (%zu of 10)\n", "window forward to its title, Follow off",
                Median(t.lookingMs), t.lookingMs.size());
    std::printf("%-34s %11.2f ms  (%zu of 20)\n", "the same, Follow on", Median(t.followingMs),
                t.followingMs.size());
    std::printf("%-34s %14ld\n", "wake-ups in 10 s idle, Follow on", t.followingIdleWakeups);
  }

  std::error_code ec;
  fs::remove_all(folder, ec);
  kavo::e2e::StopDesktop();
  return 0;
}
