#pragma once
// Collects the X errors of a few requests instead of letting Xlib's default handler end the
// process: a window can vanish between any two calls.

#include <X11/Xlib.h>

namespace kavo::platform::x11 {

class XErrorTrap {
 public:
  explicit XErrorTrap(Display* display);
  ~XErrorTrap();
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;

  // True when a request since the trap was set has failed.
  bool Failed();

 private:
  static int OnError(Display*, XErrorEvent* event);

  Display* display_;
  int (*previous_)(Display*, XErrorEvent*);
  int savedError_;
};

}  // namespace kavo::platform::x11
