#include "platform/x11/window_manager_requests.h"

#include <X11/Xatom.h>

#include <chrono>
#include <thread>

#include "platform/x11/x_error_trap.h"

namespace kavo::platform::x11 {
namespace {

// How long a window manager may take to answer a request for a window's frame extents.
constexpr auto kFrameExtentsWait = std::chrono::milliseconds(200);
constexpr unsigned long kAllDesktops = 0xFFFFFFFF;

}  // namespace

void WindowManagerRequests::DeclareWholeOpacity(Window window) {
  if (window == 0) return;
  Display* display = tree_.display();
  XErrorTrap trap(display);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return;
  if (attributes.map_state != IsViewable) {
    // Not before: the change must reach the compositor after it has seen the frame mapped.
    opaqueOnMap_.insert(window);
    tree_.SelectOwnStructure(window);
    return;
  }
  const unsigned long whole = 0xFFFFFFFFul;
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_OPACITY", False),
                  XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&whole),
                  1);
}

void WindowManagerRequests::ShowOnAllDesktops(Window window) {
  if (window == 0) return;
  Display* display = tree_.display();
  const Atoms& atoms = tree_.atoms();
  XErrorTrap trap(display);
  // Read by the window manager when the window is mapped...
  XChangeProperty(display, window, atoms.netWmDesktop, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&kAllDesktops), 1);
  const auto state = tree_.ReadProperty(window, atoms.netWmState, XA_ATOM, 64);
  bool sticky = false;
  for (unsigned long i = 0; state && state->format == 32 && i < state->count; ++i) {
    sticky = sticky || state->Long(i) == atoms.netWmStateSticky;
  }
  if (!sticky) {
    const unsigned long atom = atoms.netWmStateSticky;
    XChangeProperty(display, window, atoms.netWmState, XA_ATOM, 32, PropModeAppend,
                    reinterpret_cast<const unsigned char*>(&atom), 1);
  }
  // ...and asked of it once the window is on the screen: the toolkit and the window manager
  // may each write the state anew while mapping it.
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state != IsUnmapped) {
    AskForAllDesktops(window);
  } else if (!trap.Failed()) {
    stickyOnMap_.insert(window);
    tree_.SelectOwnStructure(window);
  }
  XFlush(display);
}

bool WindowManagerRequests::Handle(const XEvent& event) {
  if (event.type == VisibilityNotify) {
    // Written again once the window shows, its frame mapped: the compositor, which has seen
    // the frame mapped by then, looks at it anew.
    const Window window = event.xvisibility.window;
    if (!opaqueOnMap_.erase(window)) return false;
    DeclareWholeOpacity(window);
    XFlush(tree_.display());
    return true;
  }
  if (event.type != MapNotify || !stickyOnMap_.erase(event.xmap.window)) return false;
  AskForAllDesktops(event.xmap.window);
  XFlush(tree_.display());
  return true;
}

void WindowManagerRequests::AskForAllDesktops(Window window) {
  const Atoms& atoms = tree_.atoms();
  tree_.SendToRoot(window, atoms.netWmDesktop, {static_cast<long>(kAllDesktops), 1});
  tree_.SendToRoot(window, atoms.netWmState,
                   {1 /* add */, static_cast<long>(atoms.netWmStateSticky), 0, 1});
}

std::optional<Margins> WindowManagerRequests::FrameExtents(Window window) {
  if (window == 0) return std::nullopt;
  XErrorTrap trap(tree_.display());
  if (auto known = ReadFrameExtents(window)) return known;
  if (!tree_.HasWindowManager()) return std::nullopt;  // nobody would answer
  tree_.SendToRoot(window, tree_.atoms().netRequestFrameExtents, {});
  XFlush(tree_.display());
  const auto deadline = std::chrono::steady_clock::now() + kFrameExtentsWait;
  while (std::chrono::steady_clock::now() < deadline && !trap.Failed()) {
    if (auto extents = ReadFrameExtents(window)) return extents;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return std::nullopt;
}

std::optional<Margins> WindowManagerRequests::ReadFrameExtents(Window window) {
  const auto p = tree_.ReadProperty(window, tree_.atoms().netFrameExtents, XA_CARDINAL, 4);
  if (!p || p->format != 32 || p->count != 4) return std::nullopt;
  return Margins{static_cast<int>(p->Long(0)), static_cast<int>(p->Long(1)),
                 static_cast<int>(p->Long(2)), static_cast<int>(p->Long(3))};
}

}  // namespace kavo::platform::x11
