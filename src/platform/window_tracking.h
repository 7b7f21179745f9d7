#pragma once
// Tracking the desktop's windows: the one in front, its title and program, bringing one to the
// front, and news of the user's doings that tell the bar which window the user works in.

#include <cstdint>
#include <string>

namespace kavo::platform {

// A top-level window of the desktop (an X11 window id, a Wayland toplevel's number, an HWND);
// 0 is none.
using WindowHandle = std::uintptr_t;

class WindowTracking {
 public:
  virtual ~WindowTracking() = default;

  // The window in front: the active top-level window, 0 when there is none.
  virtual WindowHandle ForegroundWindow() = 0;
  // The window's title, at most 259 UTF-16 units; empty when it has none or is gone.
  virtual std::u16string WindowTitle(WindowHandle window) = 0;
  // The process that owns the window, 0 when unknown.
  virtual std::int64_t WindowProcess(WindowHandle window) = 0;
  // The name of the program the window belongs to, as the desktop knows it: the class part of
  // WM_CLASS on X11, the application id on Wayland, the executable's file name without its
  // extension on Windows. Empty when unknown.
  virtual std::u16string WindowProgram(WindowHandle window) = 0;
  // The desktop's own background or one of its panels (a task bar, a dock): a window the user
  // may bring forward, but never one to type shortcuts into.
  virtual bool IsDesktopShell(WindowHandle window) = 0;
  // Brings the window to the front with the keyboard focus, and returns once it has it (or a
  // short while has passed). A window of 0, or one that is gone, is left alone.
  virtual void BringWindowToTop(WindowHandle window) = 0;

  // What the desktop reports, delivered from the desktop's event source.
  class Listener {
   public:
    virtual ~Listener() = default;
    // Another window may be in front now.
    virtual void ActiveWindowChanged() = 0;
    // The user pressed a pointer button; under is the top-level window below the pointer (0 when
    // none is known).
    virtual void PointerPressed(WindowHandle under) = 0;
    // The user let go of a pointer button (reported while WatchPointer is on).
    virtual void PointerReleased() = 0;
    // A window passed to WatchWindow was destroyed.
    virtual void WindowDestroyed(WindowHandle window) = 0;
    // A window passed to WatchWindow changed its title (an editor marking a changed file).
    virtual void WindowTitleChanged(WindowHandle window) = 0;
    // The pointer moved, anywhere (reported once for each WatchPointerMotion(true)).
    virtual void PointerMoved() = 0;
  };
  virtual void SetListener(Listener* listener) = 0;
  // What WatchActivity reports: the window in front changing, the user's pointer presses.
  struct Activity {
    bool front = false;
    bool presses = false;
    bool operator==(const Activity&) const = default;
  };
  // Reports what is asked for; what is not, the desktop stays quiet about. Presses cost more
  // than changes of the window in front on some desktops (a hook on every move of the pointer).
  // Asking again for what is watched already changes nothing.
  virtual void WatchActivity(Activity watch) = 0;
  // Reports the destruction of this window and its title's changes (0: of none).
  virtual void WatchWindow(WindowHandle window) = 0;
  // Reports the user's pointer presses and releases, while on, without taking them from anyone.
  virtual void WatchPointer(bool on) = 0;
  // Reports the next move of the pointer, wherever it is, once; false where the desktop tells
  // no client of moves outside its windows.
  virtual bool WatchPointerMotion() = 0;
};

}  // namespace kavo::platform
