#pragma once
// What the desktop benchmarks share: a connection of their own that sees windows being mapped
// and keys arriving at a target.

#include <X11/Xatom.h>
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

#include "process_figures.h"

namespace kavo::bench {

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
  Window MakeTarget(const char* name = "Bench target", int x = 500, int y = 420) {
    const Window w =
        XCreateSimpleWindow(display_, DefaultRootWindow(display_), x, y, 300, 200, 1, 0, 0xFFFFFF);
    XStoreName(display_, w, name);
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

  // Asks the window manager to bring the window forward, and returns when it reports the window
  // active, the moment the window came forward (nullopt: it did not within a second).
  std::optional<Clock::time_point> Activate(Window window) {
    const Window root = DefaultRootWindow(display_);
    const Atom active = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
    XSelectInput(display_, root, SubstructureNotifyMask | PropertyChangeMask);
    Drain();
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window;
    request.xclient.message_type = active;
    request.xclient.format = 32;
    request.xclient.data.l[0] = 2;  // as a pager asks: the user's own choice
    XSendEvent(display_, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
    XFlush(display_);
    std::optional<Clock::time_point> at;
    const auto deadline = Clock::now() + std::chrono::seconds(1);
    XEvent event;
    while (!at && Next(event, deadline)) {
      if (event.type == PropertyNotify && event.xproperty.atom == active && ActiveIs(window)) {
        at = Clock::now();
      }
    }
    XSelectInput(display_, root, SubstructureNotifyMask);
    return at;
  }

  // Pixels of exactly this colour (0xRRGGBB) in a rectangle of the screen.
  int CountColour(int x, int y, int width, int height, unsigned long rgb) {
    XImage* image =
        XGetImage(display_, DefaultRootWindow(display_), x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return 0;
    int count = 0;
    for (int j = 0; j < height; ++j) {
      for (int i = 0; i < width; ++i) count += (XGetPixel(image, i, j) & 0xFFFFFF) == rgb;
    }
    XDestroyImage(image);
    return count;
  }

 private:
  bool ActiveIs(Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool read =
        XGetWindowProperty(display_, DefaultRootWindow(display_),
                           XInternAtom(display_, "_NET_ACTIVE_WINDOW", False), 0, 1, False,
                           XA_WINDOW, &type, &format, &count, &after, &data) == Success;
    const bool is = read && data && count == 1 && *reinterpret_cast<Window*>(data) == window;
    if (data) XFree(data);
    return is;
  }

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

}  // namespace kavo::bench
