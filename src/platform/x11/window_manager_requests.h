#pragma once
// What the bar asks of the window manager for its own windows: to be on every virtual desktop,
// and the size of the frame a window will get, before it is first shown.

#include <X11/Xlib.h>

#include <optional>
#include <set>

#include "platform/window_shell.h"
#include "platform/x11/window_tree.h"

namespace kavo::platform::x11 {

class WindowManagerRequests {
 public:
  explicit WindowManagerRequests(WindowTree& tree) : tree_(tree) {}

  void ShowOnAllDesktops(Window window);
  // Says the window's own opacity is whole (its pixels' alpha still counts), once the window
  // shows. The window manager copies it to the frame, which makes a compositor look at the frame
  // anew: xcompmgr -c may have made a shadow for the frame before it was mapped, taking it for
  // an opaque window, and shows that shadow through the see-through bar until then.
  void DeclareWholeOpacity(Window window);
  std::optional<Margins> FrameExtents(Window window);
  // Asks again once a window waiting for it is mapped; false for other events.
  bool Handle(const XEvent& event);

 private:
  void AskForAllDesktops(Window window);
  std::optional<Margins> ReadFrameExtents(Window window);

  WindowTree& tree_;
  std::set<Window> stickyOnMap_;
  // Own windows whose opacity is written again once they show.
  std::set<Window> opaqueOnMap_;
};

}  // namespace kavo::platform::x11
