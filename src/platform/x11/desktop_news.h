#pragma once
// What the desktop tells the bar while it looks for its target or holds one: the window in
// front changing, the user's pointer presses anywhere (XInput 2 raw events, no grab), the target
// being destroyed, and a compositor starting or stopping (the owner of _NET_WM_CM_Sn, through
// XFixes).

#include <X11/Xlib.h>

#include "platform/input.h"
#include "platform/x11/window_tree.h"

namespace kavo::platform::x11 {

class DesktopNews {
 public:
  explicit DesktopNews(WindowTree& tree);

  bool CompositorRunning();
  void WatchActivity(bool on);
  void WatchWindow(Window window);
  // Tells the listener of the event; false when the event is not news of this kind.
  bool Handle(XEvent& event, InputBackend::Listener* listener);

 private:
  WindowTree& tree_;
  Window watched_ = None;
  int xiOpcode_ = -1;
  int fixesEvent_ = -1;
};

}  // namespace kavo::platform::x11
