#pragma once
// Windows on X11: EWMH for the active window, its title, process and class, and activation
// (through libxdo, or focus and raise where no window manager runs).

#include "platform/window_tracking.h"
#include "platform/x11/desktop_news.h"
#include "platform/x11/window_tree.h"

struct xdo;

namespace kavo::platform::x11 {

class X11WindowTracking final : public WindowTracking {
 public:
  // xdo may be null: activation then asks nobody but the server.
  X11WindowTracking(WindowTree& tree, DesktopNews& news, struct xdo* xdo)
      : tree_(tree), news_(news), xdo_(xdo) {}

  WindowHandle ForegroundWindow() override;
  std::u16string WindowTitle(WindowHandle window) override;
  std::int64_t WindowProcess(WindowHandle window) override;
  std::u16string WindowProgram(WindowHandle window) override;
  bool IsDesktopShell(WindowHandle window) override;
  void BringWindowToTop(WindowHandle window) override;
  void SetListener(Listener* listener) override { listener_ = listener; }
  void WatchActivity(Activity watch) override { news_.WatchActivity(watch); }
  void WatchWindow(WindowHandle window) override { news_.WatchWindow(window); }
  void WatchPointer(bool on) override { news_.WatchPointer(on); }
  bool WatchPointerMotion() override {
    news_.WatchPointerMotion();
    return true;
  }

  Listener* listener() const { return listener_; }

 private:
  // True when the keyboard focus is in the window (or in one of its children) and, under a
  // window manager, the window is the active one.
  bool HasFocus(Window window);

  WindowTree& tree_;
  DesktopNews& news_;
  struct xdo* xdo_;
  Listener* listener_ = nullptr;
};

}  // namespace kavo::platform::x11
