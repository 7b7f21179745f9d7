#include "platform/x11/window_shell_x11.h"

#include <X11/extensions/shape.h>

namespace kavo::platform::x11 {

void X11WindowShell::SetInputShape(WindowHandle window, const std::vector<Rect>& rects) {
  shapes_.Set(window, ShapeInput, rects);
}

void X11WindowShell::SetVisibleShape(WindowHandle window, const std::vector<Rect>& rects) {
  shapes_.Set(window, ShapeBounding, rects);
}

void X11WindowShell::ShowOnAllDesktops(WindowHandle window) {
  windowManager_.ShowOnAllDesktops(window);
  windowManager_.DeclareWholeOpacity(window);
}

std::optional<Margins> X11WindowShell::FrameExtents(WindowHandle window) {
  return windowManager_.FrameExtents(window);
}

bool X11WindowShell::Handle(const XEvent& event) {
  return shapes_.Handle(event) || windowManager_.Handle(event);
}

}  // namespace kavo::platform::x11
