#pragma once
// The bar's own window on X11: its shapes (XShape), the window manager's help with it, and the
// compositor's comings and goings.

#include "platform/window_shell.h"
#include "platform/x11/desktop_news.h"
#include "platform/x11/window_manager_requests.h"
#include "platform/x11/window_shapes.h"
#include "platform/x11/window_tree.h"

namespace kavo::platform::x11 {

class X11WindowShell final : public WindowShell {
 public:
  X11WindowShell(WindowTree& tree, DesktopNews& news)
      : news_(news), shapes_(tree), windowManager_(tree) {}

  void SetInputShape(WindowHandle window, const std::vector<Rect>& rects) override;
  void SetVisibleShape(WindowHandle window, const std::vector<Rect>& rects) override;
  bool CompositorRunning() override { return news_.CompositorRunning(); }
  bool PlacesWindows() const override { return false; }
  // A window of the program's own, without transient owner, is its main window on X11 already;
  // compositors are told that its opacity is its pixels' own (again with each ShowOnAllDesktops).
  void TakeAsMainWindow(WindowHandle window) override {
    windowManager_.DeclareWholeOpacity(window);
  }
  void ShowOnAllDesktops(WindowHandle window) override;
  std::optional<Margins> FrameExtents(WindowHandle window) override;
  void SetListener(Listener* listener) override { listener_ = listener; }

  Listener* listener() const { return listener_; }
  // Follows the own windows being framed, moved and mapped; false for other events.
  bool Handle(const XEvent& event);

 private:
  DesktopNews& news_;
  WindowShapes shapes_;
  WindowManagerRequests windowManager_;
  Listener* listener_ = nullptr;
};

}  // namespace kavo::platform::x11
