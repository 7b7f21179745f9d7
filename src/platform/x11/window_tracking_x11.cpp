#include "platform/x11/window_tracking_x11.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

extern "C" {
#include <xdo.h>
}

#include <chrono>
#include <thread>

#include "base/text_codec.h"
#include "platform/common/window_title.h"
#include "platform/x11/x_error_trap.h"

namespace kavo::platform::x11 {
namespace {

constexpr auto kActivationWait = std::chrono::milliseconds(250);

}  // namespace

WindowHandle X11WindowTracking::ForegroundWindow() {
  Display* display = tree_.display();
  XErrorTrap trap(display);
  if (const auto active = tree_.ActiveWindow()) return trap.Failed() ? 0 : *active;
  // No window manager to ask: the top-level window holding the focus.
  Window focus = None;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  if (focus == None || focus == PointerRoot) return 0;
  const Window top = tree_.TopLevelOf(focus);
  return trap.Failed() ? 0 : top;
}

std::u16string X11WindowTracking::WindowTitle(WindowHandle window) {
  if (window == 0) return u"";
  Display* display = tree_.display();
  XErrorTrap trap(display);
  std::u16string title;
  if (const auto name =
          tree_.ReadProperty(window, tree_.atoms().netWmName, tree_.atoms().utf8String, 4096);
      name && name->format == 8) {
    title = FromUtf8Lossy(name->bytes);
  } else {
    XTextProperty text{};
    if (XGetWMName(display, window, &text) && text.value) {
      char** list = nullptr;
      int count = 0;
      if (Xutf8TextPropertyToTextList(display, &text, &list, &count) >= Success && count > 0 &&
          list) {
        title = FromUtf8Lossy(list[0]);
      }
      if (list) XFreeStringList(list);
      XFree(text.value);
    }
  }
  if (trap.Failed()) return u"";
  return BarTitle(std::move(title));
}

std::int64_t X11WindowTracking::WindowProcess(WindowHandle window) {
  if (window == 0) return 0;
  XErrorTrap trap(tree_.display());
  const auto pid = tree_.ReadProperty(window, tree_.atoms().netWmPid, XA_CARDINAL, 1);
  if (!pid || pid->format != 32 || pid->count != 1 || trap.Failed()) return 0;
  return static_cast<std::int64_t>(pid->Long(0));
}

// The file manager's desktop window and the panels name their kind; a title they may have.
bool X11WindowTracking::IsDesktopShell(WindowHandle window) {
  if (window == 0) return false;
  XErrorTrap trap(tree_.display());
  const Atoms& atoms = tree_.atoms();
  const auto types = tree_.ReadProperty(window, atoms.netWmWindowType, XA_ATOM, 16);
  if (!types || types->format != 32 || trap.Failed()) return false;
  for (unsigned long i = 0; i < types->count; ++i) {
    const auto type = static_cast<Atom>(types->Long(i));
    if (type == atoms.netWmWindowTypeDesktop || type == atoms.netWmWindowTypeDock) return true;
  }
  return false;
}

std::u16string X11WindowTracking::WindowProgram(WindowHandle window) {
  if (window == 0) return u"";
  XErrorTrap trap(tree_.display());
  XClassHint hint{};
  std::u16string program;
  if (XGetClassHint(tree_.display(), window, &hint)) {
    if (hint.res_class) program = FromUtf8Lossy(hint.res_class);
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
  }
  return trap.Failed() ? u"" : program;
}

void X11WindowTracking::BringWindowToTop(WindowHandle window) {
  if (window == 0) return;
  Display* display = tree_.display();
  XErrorTrap trap(display);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || trap.Failed()) return;  // gone
  if (HasFocus(window)) return;

  if (tree_.ActiveWindow() && xdo_) {
    // Activation is asynchronous: ask the window manager, then wait until it is done, or keys
    // sent at once would land in the window that is still in front.
    xdo_activate_window(xdo_, window);
  } else {  // no window manager
    XRaiseWindow(display, window);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
  }
  XFlush(display);
  const auto deadline = std::chrono::steady_clock::now() + kActivationWait;
  while (!HasFocus(window) && !trap.Failed() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

bool X11WindowTracking::HasFocus(Window window) {
  if (const auto active = tree_.ActiveWindow(); active && *active != window) return false;
  Window focus = None;
  int revert = 0;
  XGetInputFocus(tree_.display(), &focus, &revert);
  if (focus == PointerRoot) return false;
  for (Window w = focus; w != None; w = tree_.ParentOf(w)) {
    if (w == window) return true;
  }
  return false;
}

}  // namespace kavo::platform::x11
