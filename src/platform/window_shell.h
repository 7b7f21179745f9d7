#pragma once
// What the bar asks of the desktop for its own window: where it takes presses and what of it
// shows, a place on every virtual desktop, the frame a window manager puts around a window, and
// whether the desktop blends see-through windows or places windows itself.

#include <optional>
#include <vector>

#include "platform/window_tracking.h"

namespace kavo::platform {

// A rectangle of a window, in the window's coordinates and device pixels.
struct Rect {
  int x, y, width, height;
};

// The window manager's frame around a window, in device pixels.
struct Margins {
  int left = 0, right = 0, top = 0, bottom = 0;
  bool operator==(const Margins&) const = default;
};

class WindowShell {
 public:
  virtual ~WindowShell() = default;

  // Limits where the window takes mouse presses: outside these rectangles presses reach what
  // lies below. An empty list gives the whole window back.
  virtual void SetInputShape(WindowHandle window, const std::vector<Rect>& rects) = 0;
  // Limits what of the window is drawn at all: outside these rectangles the desktop below shows.
  // For desktops that cannot blend a see-through window (no compositor). An empty list shows
  // the whole window again.
  virtual void SetVisibleShape(WindowHandle window, const std::vector<Rect>& rects) = 0;
  // Whether a compositor blends see-through windows with what lies below them.
  virtual bool CompositorRunning() = 0;
  // Whether the desktop places windows itself (Wayland): a window then cannot move itself, and
  // never learns where it is.
  virtual bool PlacesWindows() const = 0;
  // Whether the toolkit knows where a window stands, and so the pointer's place on the screen.
  // Not where the desktop places the window where the bar asks without telling the toolkit: the
  // pointer is then known in the window only.
  virtual bool ToolkitKnowsPlace() const { return true; }
  // The bar's window, made and not yet shown: the desktop lists it as the program's own window
  // (a task-bar button, the task bar's close).
  virtual void TakeAsMainWindow(WindowHandle window) = 0;
  // Keeps the window on every virtual desktop, as on-screen keyboards are.
  virtual void ShowOnAllDesktops(WindowHandle window) = 0;
  // The frame around a window; asked for before the window is first shown, so that it can be
  // placed by its outer rectangle. Nullopt when unknown.
  virtual std::optional<Margins> FrameExtents(WindowHandle window) = 0;

  class Listener {
   public:
    virtual ~Listener() = default;
    // A compositor started or stopped.
    virtual void CompositorChanged(bool running) = 0;
  };
  virtual void SetListener(Listener* listener) = 0;
};

// The shell of a desktop where the toolkit does all of it: shapes are left to the toolkit's
// own window mask, and a compositor always blends. A desktop that does a part of it itself
// overrides that part.
class ToolkitShell : public WindowShell {
 public:
  explicit ToolkitShell(bool placesWindows) : placesWindows_(placesWindows) {}
  void SetInputShape(WindowHandle, const std::vector<Rect>&) override {}
  void SetVisibleShape(WindowHandle, const std::vector<Rect>&) override {}
  bool CompositorRunning() override { return true; }
  bool PlacesWindows() const override { return placesWindows_; }
  void TakeAsMainWindow(WindowHandle) override {}
  void ShowOnAllDesktops(WindowHandle) override {}
  std::optional<Margins> FrameExtents(WindowHandle) override { return std::nullopt; }
  void SetListener(Listener*) override {}

 private:
  bool placesWindows_;
};

}  // namespace kavo::platform
