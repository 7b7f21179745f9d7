#include "platform/x11/window_tree.h"

#include <X11/Xatom.h>

#include <cstring>

#include "platform/x11/x_error_trap.h"

namespace kavo::platform::x11 {

Atoms::Atoms(Display* d)
    : netActiveWindow(XInternAtom(d, "_NET_ACTIVE_WINDOW", False)),
      netWmName(XInternAtom(d, "_NET_WM_NAME", False)),
      netWmPid(XInternAtom(d, "_NET_WM_PID", False)),
      utf8String(XInternAtom(d, "UTF8_STRING", False)),
      wmState(XInternAtom(d, "WM_STATE", False)),
      netWmState(XInternAtom(d, "_NET_WM_STATE", False)),
      netWmStateSticky(XInternAtom(d, "_NET_WM_STATE_STICKY", False)),
      netWmDesktop(XInternAtom(d, "_NET_WM_DESKTOP", False)),
      netFrameExtents(XInternAtom(d, "_NET_FRAME_EXTENTS", False)),
      netRequestFrameExtents(XInternAtom(d, "_NET_REQUEST_FRAME_EXTENTS", False)),
      netSupportingWmCheck(XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False)),
      netWmWindowType(XInternAtom(d, "_NET_WM_WINDOW_TYPE", False)),
      netWmWindowTypeDesktop(XInternAtom(d, "_NET_WM_WINDOW_TYPE_DESKTOP", False)),
      netWmWindowTypeDock(XInternAtom(d, "_NET_WM_WINDOW_TYPE_DOCK", False)),
      compositorSelection(
          XInternAtom(d, ("_NET_WM_CM_S" + std::to_string(DefaultScreen(d))).c_str(), False)) {}

unsigned long Property::Long(std::size_t i) const {
  unsigned long value = 0;
  std::memcpy(&value, bytes.data() + i * sizeof(long), sizeof value);
  return value;
}

std::optional<Property> WindowTree::ReadProperty(Window w, Atom property, Atom type, long length) {
  Atom actual = None;
  Property p;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  const bool ok = XGetWindowProperty(display_, w, property, 0, length, False, type, &actual,
                                     &p.format, &p.count, &after, &data) == Success &&
                  actual != None && (type == AnyPropertyType || actual == type);
  if (ok && data) {
    const std::size_t unit = p.format == 32 ? sizeof(long) : static_cast<std::size_t>(p.format / 8);
    p.bytes.assign(reinterpret_cast<const char*>(data), unit * p.count);
  }
  if (data) XFree(data);
  return ok ? std::optional(std::move(p)) : std::nullopt;
}

std::optional<Window> WindowTree::ActiveWindow() {
  const auto active = ReadProperty(root(), atoms_.netActiveWindow, XA_WINDOW, 1);
  if (!active) return std::nullopt;
  return active->count == 1 ? static_cast<Window>(active->Long(0)) : Window{0};
}

bool WindowTree::HasWindowManager() {
  return ReadProperty(root(), atoms_.netSupportingWmCheck, XA_WINDOW, 1).has_value();
}

Window WindowTree::ParentOf(Window w) {
  Window rootReturn = None, parent = None, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display_, w, &rootReturn, &parent, &children, &count)) return None;
  if (children) XFree(children);
  return parent == rootReturn ? None : parent;
}

Window WindowTree::TopLevelOf(Window w) {
  while (!ReadProperty(w, atoms_.wmState, AnyPropertyType, 0)) {
    const Window parent = ParentOf(w);
    if (parent == None) return w;
    w = parent;
  }
  return w;
}

Window WindowTree::ClientUnderPointer() {
  XErrorTrap trap(display_);
  Window top = None;
  for (Window w = root();;) {
    Window rootReturn = None, child = None;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    if (!XQueryPointer(display_, w, &rootReturn, &child, &rx, &ry, &wx, &wy, &mask) ||
        child == None || trap.Failed()) {
      return top;
    }
    if (w == root()) top = child;
    if (ReadProperty(child, atoms_.wmState, AnyPropertyType, 0)) return child;
    w = child;
  }
}

void WindowTree::SendToRoot(Window window, Atom type, std::initializer_list<long> data) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  int i = 0;
  for (const long d : data) event.xclient.data.l[i++] = d;
  XSendEvent(display_, root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void WindowTree::SelectOwnStructure(Window window) {
  // Visibility too: mapped is not yet viewable while the window manager's frame is unmapped.
  if (own_.insert(window).second) {
    XSelectInput(display_, window, StructureNotifyMask | VisibilityChangeMask);
  }
}

}  // namespace kavo::platform::x11
