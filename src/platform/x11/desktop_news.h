#pragma once
// What the desktop tells the bar while it looks for its target or holds one: the window in
// front changing, the user's pointer presses (and, for held keys, releases) anywhere (XInput 2
// raw events, no grab), the target being destroyed, and a compositor starting or stopping (the
// owner of _NET_WM_CM_Sn, through XFixes).

#include <X11/Xlib.h>

#include "platform/window_shell.h"
#include "platform/window_tracking.h"
#include "platform/x11/window_tree.h"

namespace kavo::platform::x11 {

class DesktopNews {
 public:
  explicit DesktopNews(WindowTree& tree);

  bool CompositorRunning();
  void WatchActivity(WindowTracking::Activity watch);
  // Pointer presses and releases, for keys held until the next stroke.
  void WatchPointer(bool on);
  void WatchPointerMotion();
  void WatchWindow(Window window);
  // Tells the listeners (either may be null) of the event; false when the event is not news of
  // this kind.
  bool Handle(XEvent& event, WindowTracking::Listener* tracking, WindowShell::Listener* shell);

 private:
  // Selects what the watches ask for: raw presses for either, raw releases for the pointer.
  void SelectRawButtons();

  WindowTree& tree_;
  WindowTracking::Activity activity_;
  bool pointer_ = false;
  bool motion_ = false;  // until the next move is reported
  Window watched_ = None;
  int xiOpcode_ = -1;
  int fixesEvent_ = -1;
};

}  // namespace kavo::platform::x11
