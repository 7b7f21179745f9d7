#include "platform/x11/window_shapes.h"

#include <X11/extensions/shape.h>

#include "platform/x11/x_error_trap.h"

namespace kavo::platform::x11 {

void WindowShapes::Set(Window window, int kind, const std::vector<Rect>& rects) {
  Display* display = tree_.display();
  if (window == 0) return;
  int event = 0, error = 0;
  if (!XShapeQueryExtension(display, &event, &error)) return;
  XErrorTrap trap(display);
  if (rects.empty()) {
    XShapeCombineMask(display, window, kind, 0, 0, None, ShapeSet);
  } else {
    std::vector<XRectangle> xrects;
    xrects.reserve(rects.size());
    for (const Rect& r : rects) {
      xrects.push_back({static_cast<short>(r.x), static_cast<short>(r.y),
                        static_cast<unsigned short>(r.width),
                        static_cast<unsigned short>(r.height)});
    }
    XShapeCombineRectangles(display, window, kind, 0, 0, xrects.data(),
                            static_cast<int>(xrects.size()), ShapeSet, Unsorted);
  }
  // Framing by the window manager comes later: hear of it to shape the frame then.
  shaped_.insert(window);
  tree_.SelectOwnStructure(window);
  ShapeFrames(window);
  XFlush(display);
}

bool WindowShapes::Handle(const XEvent& event) {
  if ((event.type != ReparentNotify && event.type != ConfigureNotify) ||
      !shaped_.count(event.xany.window)) {
    return false;
  }
  XErrorTrap trap(tree_.display());
  ShapeFrames(event.xany.window);
  return true;
}

void WindowShapes::ShapeFrames(Window window) {
  Display* display = tree_.display();
  for (Window parent = tree_.ParentOf(window); parent != None; parent = tree_.ParentOf(parent)) {
    int dx = 0, dy = 0;
    Window unused = None;
    XTranslateCoordinates(display, window, parent, 0, 0, &dx, &dy, &unused);
    for (const int kind : {ShapeInput, ShapeBounding}) {
      XShapeCombineShape(display, parent, kind, dx, dy, window, kind, ShapeSet);
    }
  }
}

}  // namespace kavo::platform::x11
