#pragma once
// Reads of the X window tree and of the EWMH properties kept on it, and client messages to the
// window manager. Shared by the parts of the X11 backend; every call may meet a window that is
// gone, so callers hold an XErrorTrap.

#include <X11/Xlib.h>

#include <initializer_list>
#include <optional>
#include <set>
#include <string>

namespace kavo::platform::x11 {

// The atoms the backend names, interned once.
struct Atoms {
  explicit Atoms(Display* display);
  Atom netActiveWindow, netWmName, netWmPid, utf8String, wmState, netWmState, netWmStateSticky,
      netWmDesktop, netFrameExtents, netRequestFrameExtents, netSupportingWmCheck, netWmWindowType,
      netWmWindowTypeDesktop, netWmWindowTypeDock;
  // Owned by a compositor while one runs on the default screen.
  Atom compositorSelection;
};

// A window property as read.
struct Property {
  int format = 0;
  unsigned long count = 0;
  std::string bytes;
  // Item i of a 32-bit property, which Xlib hands over as longs.
  unsigned long Long(std::size_t i) const;
};

class WindowTree {
 public:
  explicit WindowTree(Display* display) : display_(display), atoms_(display) {}

  Display* display() const { return display_; }
  const Atoms& atoms() const { return atoms_; }
  Window root() const { return DefaultRootWindow(display_); }

  // Nullopt when the window has no such property of that type.
  std::optional<Property> ReadProperty(Window w, Atom property, Atom type, long length);
  // The active window as the window manager keeps it (0 for none); nullopt without an EWMH
  // window manager that keeps it.
  std::optional<Window> ActiveWindow();
  bool HasWindowManager();
  // The parent of w, or None when w is a top-level window (or gone).
  Window ParentOf(Window w);
  // The client window that holds w: the nearest ancestor with WM_STATE, else the child of root.
  Window TopLevelOf(Window w);
  // The client window below the pointer: the nearest window with WM_STATE on the way down from
  // the root, else the root's child there; 0 over the bare desktop.
  Window ClientUnderPointer();
  // An EWMH client message about the window, to the window manager through the root window.
  void SendToRoot(Window window, Atom type, std::initializer_list<long> data);

  // Structure events (map, reparent, configure, destroy) of the program's own windows, selected
  // once for whichever part asks first and kept.
  void SelectOwnStructure(Window window);
  bool IsOwn(Window window) const { return own_.count(window) != 0; }

 private:
  Display* display_;
  Atoms atoms_;
  std::set<Window> own_;
};

}  // namespace kavo::platform::x11
