// Whole-process figures, side by side with xvkbd (an on-screen keyboard in C) on one Xvfb and
// openbox: start-up to the window being mapped, resident memory once idle, click-to-keystroke
// latency into a window of another program, and wake-ups while idle.
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
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "desktop.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using kavo::e2e::Process;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// Our own connection: sees windows being mapped, and keys arriving at the target.
class Observer {
 public:
  Observer() : display_(XOpenDisplay(nullptr)) {
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
  }
  ~Observer() { XCloseDisplay(display_); }
  Display* display() const { return display_; }

  // Waits until a window whose name begins with prefix is mapped.
  bool AwaitMapped(const std::string& prefix, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
      XEvent event;
      if (!Next(event, deadline)) return false;
      if (event.type == MapNotify && Named(event.xmap.window, prefix, 2)) return true;
    }
    return false;
  }

  // A window of ours that records key releases.
  Window MakeTarget() {
    const Window w = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 500, 420, 300, 200,
                                         1, 0, 0xFFFFFF);
    XStoreName(display_, w, "Bench target");
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMHints(display_, w, &hints);
    XSelectInput(display_, w, KeyPressMask | KeyReleaseMask);
    XMapWindow(display_, w);
    XSync(display_, False);
    return w;
  }

  void Drain() {
    while (XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
    }
  }

  // Clicks at (x, y) and returns the time until the key with this keysym is released.
  std::optional<double> ClickToRelease(int x, int y, KeySym last) {
    return ClickToKey(x, y, KeyRelease, last);
  }

  // Clicks at (x, y) and returns the time until the target gets this event (KeyPress or
  // KeyRelease) of the key with this keysym.
  std::optional<double> ClickToKey(int x, int y, int type, KeySym key) {
    Drain();
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XSync(display_, False);
    const auto start = Clock::now();
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XFlush(display_);
    const auto deadline = start + std::chrono::seconds(2);
    while (Clock::now() < deadline) {
      XEvent event;
      if (!Next(event, deadline)) break;
      if (event.type == type && XLookupKeysym(&event.xkey, 0) == key) {
        return Ms(Clock::now() - start);
      }
    }
    return std::nullopt;
  }

 private:
  bool Next(XEvent& event, Clock::time_point deadline) {
    while (!XPending(display_)) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return false;
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      ::poll(&fd, 1, static_cast<int>(left.count()));
    }
    XNextEvent(display_, &event);
    return true;
  }

  bool Named(Window w, const std::string& prefix, int depth) {
    char* name = nullptr;
    bool match = false;
    if (XFetchName(display_, w, &name) && name) {
      match = std::string(name).rfind(prefix, 0) == 0;
      XFree(name);
    }
    if (match || depth == 0) return match;
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, w, &root, &parent, &children, &count)) return false;
    for (unsigned i = 0; i < count && !match; ++i) match = Named(children[i], prefix, depth - 1);
    if (children) XFree(children);
    return match;
  }

  Display* display_;
};

long StatusField(pid_t pid, const std::string& field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
  }
  return -1;
}

// Context switches of every thread of the process: each is a wake-up.
long Wakeups(pid_t pid) {
  long total = 0;
  for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
    std::ifstream in(task.path() / "status");
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
          line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
        total += std::stol(line.substr(line.find(':') + 1));
      }
    }
  }
  return total;
}

struct Subject {
  std::string name;
  std::vector<std::string> argv;
  std::string windowPrefix;
  std::string folder;
};

struct Figures {
  double startupMs = 0;
  long rssKb = 0;
  double clickMs = 0;
  int clicks = 0;
  long idleWakeups = 0;
};

Figures Measure(const Subject& subject, Observer& observer, Window target,
                const std::function<std::pair<int, int>()>& keyPoint, KeySym lastKey) {
  Figures figures;
  std::vector<double> startups, rss;
  for (int run = 0; run < 10; ++run) {
    observer.Drain();
    const auto start = Clock::now();
    Process process(subject.argv, subject.folder, {"LC_ALL=C.UTF-8"});
    if (observer.AwaitMapped(subject.windowPrefix, std::chrono::seconds(10))) {
      startups.push_back(Ms(Clock::now() - start));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    rss.push_back(static_cast<double>(StatusField(process.pid(), "VmRSS")));

    if (run == 9) {
      kavo::e2e::Activate(std::to_string(target));
      const auto [x, y] = keyPoint();
      observer.ClickToRelease(x, y, lastKey);  // the first click acquires the target
      std::vector<double> clicks;
      for (int i = 0; i < 50; ++i) {
        if (auto ms = observer.ClickToRelease(x, y, lastKey)) clicks.push_back(*ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
      }
      figures.clickMs = Median(clicks);
      figures.clicks = static_cast<int>(clicks.size());
      const long before = Wakeups(process.pid());
      std::this_thread::sleep_for(std::chrono::seconds(10));
      figures.idleWakeups = Wakeups(process.pid()) - before;
    }
    process.Signal(SIGTERM);
    process.Wait(std::chrono::seconds(5));
  }
  figures.startupMs = Median(startups);
  figures.rssKb = static_cast<long>(Median(rss));
  return figures;
}

std::pair<int, int> ClientOrigin(Display* display, const std::string& prefix);

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
  fs::create_directories(folder);
  fs::copy_file(KAVO_EXECUTABLE, folder / "kavo");

  {
    Observer observer;
    const Window target = observer.MakeTarget();

    const Subject kavo{"kavo", {(folder / "kavo").string()}, "Form1", folder.string()};
    const Subject xvkbd{"xvkbd", {"xvkbd", "-geometry", "+0+300"}, "xvkbd", folder.string()};

    // The bar's Undo button, and xvkbd's "z" key, from their windows' top-left corners.
    const Figures k = Measure(
        kavo, observer, target,
        [&] {
          const auto [x, y] = ClientOrigin(observer.display(), "Form1$");
          return std::pair{x + 25, y + 24 + 12};
        },
        XK_Control_L);
    const Figures v = Measure(
        xvkbd, observer, target,
        [&] {
          const auto [x, y] = ClientOrigin(observer.display(), "xvkbd");
          return std::pair{x + 92, y + 143};
        },
        XK_z);

    std::printf("\n%-32s %12s %12s\n", "", "kavo", "xvkbd");
    std::printf("%-32s %9.1f ms %9.1f ms\n", "start-up to mapped (median/10)", k.startupMs,
                v.startupMs);
    std::printf("%-32s %9.1f MB %9.1f MB\n", "resident memory, idle", k.rssKb / 1024.0,
                v.rssKb / 1024.0);
    std::printf("%-32s %9.2f ms %9.2f ms\n", "click to last key up (median)", k.clickMs, v.clickMs);
    std::printf("%-32s %12d %12d\n", "clicks measured (of 50)", k.clicks, v.clicks);
    std::printf("%-32s %12ld %12ld\n", "wake-ups in 10 s idle", k.idleWakeups, v.idleWakeups);
    std::printf("\nkavo/xvkbd start-up: %.2fx\n", k.startupMs / v.startupMs);

    // A second bar with a held binding beside the Undo button.
    std::ofstream(folder / "KavoKey.txt", std::ios::binary)
        << "Undo,Ctrl,Z\r\nPan,Space,,,latch\r\n";
    const HoldFigures h = MeasureHolds(kavo, observer, target);
    std::printf("\n%-32s %9.2f ms\n", "tap: click to first key down", h.tapPressMs);
    std::printf("%-32s %9.2f ms\n", "latch: click to key down", h.latchPressMs);
    std::printf("%-32s %9.2f ms\n", "latch: stroke's end to key up", h.latchReleaseMs);
    std::printf("%-32s %12d\n", "latches measured (of 50)", h.clicks);
  }

  std::error_code ec;
  fs::remove_all(folder, ec);
  kavo::e2e::StopDesktop();
  return 0;
}
