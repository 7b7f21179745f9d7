#pragma once
// The shapes of the program's own windows (XShape): where they take presses and what of them
// shows. A reparenting window manager puts a window in a frame of its own, which would still
// take the presses and draw its background: the frames take the window's shapes too, also when
// the window is framed or moved later.

#include <X11/Xlib.h>

#include <set>
#include <vector>

#include "platform/window_shell.h"
#include "platform/x11/window_tree.h"

namespace kavo::platform::x11 {

class WindowShapes {
 public:
  explicit WindowShapes(WindowTree& tree) : tree_(tree) {}

  // kind is ShapeInput or ShapeBounding; an empty list takes the shape away.
  void Set(Window window, int kind, const std::vector<Rect>& rects);
  // Reshapes the frames of a shaped window that was framed or moved; false for other events.
  bool Handle(const XEvent& event);

 private:
  void ShapeFrames(Window window);

  WindowTree& tree_;
  std::set<Window> shaped_;
};

}  // namespace kavo::platform::x11
