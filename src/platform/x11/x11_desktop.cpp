// The desktop backend for X11: each role has a part of its own (window tracking, key injection,
// the bar's own window); this file holds the connection they share and reads the desktop's
// news off it for them.

#include "platform/x11/x11_desktop.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

extern "C" {
#include <xdo.h>
}

#include "platform/x11/desktop_news.h"
#include "platform/x11/key_injection_x11.h"
#include "platform/x11/window_shell_x11.h"
#include "platform/x11/window_tracking_x11.h"
#include "platform/x11/window_tree.h"

namespace kavo::platform::x11 {
namespace {

// The display connection and the typing library on it, closed last.
class Connection {
 public:
  explicit Connection(Display* display)
      : display_(display), xdo_(xdo_new_with_opened_display(display, nullptr, 1)) {
    if (xdo_) xdo_->quiet = 1;
  }
  ~Connection() {
    if (xdo_) {
      xdo_free(xdo_);  // closes the display too
    } else {
      XCloseDisplay(display_);
    }
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  Display* display() const { return display_; }
  xdo_t* xdo() const { return xdo_; }

 private:
  Display* display_;
  xdo_t* xdo_;
};

class X11Desktop final : public Desktop, EventSource {
 public:
  explicit X11Desktop(Display* display)
      : connection_(display),
        tree_(display),
        news_(tree_),
        tracking_(tree_, news_, connection_.xdo()),
        keys_(display, Refusal()),
        shell_(tree_, news_) {}

  WindowTracking& Tracking() override { return tracking_; }
  KeyInjection& Keys() override { return keys_; }
  WindowShell& Shell() override { return shell_; }
  EventSource* Events() override { return this; }
  std::string Problem() const override { return Refusal(); }

  int Descriptor() const override { return ConnectionNumber(connection_.display()); }
  bool HasQueuedEvents() const override {
    return XEventsQueued(connection_.display(), QueuedAlready) > 0;
  }
  void ProcessEvents() override {
    Display* display = connection_.display();
    // Events already read off the connection first (a reply may have brought them in), then
    // whatever the server has sent since.
    while (XEventsQueued(display, QueuedAfterReading) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MappingNotify) {
        // Xlib maps keysyms to keycodes from its copy of the keyboard map.
        XRefreshKeyboardMapping(&event.xmapping);
      } else if (!news_.Handle(event, tracking_.listener(), shell_.listener())) {
        shell_.Handle(event);
      }
    }
  }

 private:
  std::string Refusal() const {
    return connection_.xdo() ? "" : "The typing library could not start on this X server.";
  }

  Connection connection_;
  WindowTree tree_;
  DesktopNews news_;
  X11WindowTracking tracking_;
  X11KeyInjection keys_;
  X11WindowShell shell_;
};

}  // namespace

std::unique_ptr<Desktop> MakeX11Desktop() {
  // A connection of our own: waiting for activation must not read the toolkit's events.
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::make_unique<X11Desktop>(display);
}

}  // namespace kavo::platform::x11
