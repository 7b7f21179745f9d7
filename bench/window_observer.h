#pragma once
// What the desktop benchmarks share: a connection of their own that sees windows being mapped
// and keys arriving at a target, and figures read from /proc.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <sys/types.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace kavo::bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

inline double Median(std::vector<double> values) {
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

inline long StatusField(pid_t pid, const std::string& field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
  }
  return -1;
}

// CPU time of every thread of the process so far, from the scheduler's own count.
inline double CpuMs(pid_t pid) {
  double ns = 0;
  std::error_code ec;
  for (const auto& task :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
    std::ifstream in(task.path() / "schedstat");
    double onCpu = 0;
    if (in >> onCpu) ns += onCpu;
  }
  return ns / 1e6;
}

}  // namespace kavo::bench
