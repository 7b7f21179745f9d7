#include "platform/x11/desktop_news.h"

#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xfixes.h>

#include "platform/x11/x11_rules.h"
#include "platform/x11/x_error_trap.h"

namespace kavo::platform::x11 {

DesktopNews::DesktopNews(WindowTree& tree) : tree_(tree) {
  Display* display = tree_.display();
  int fixesError = 0;
  if (XFixesQueryExtension(display, &fixesEvent_, &fixesError)) {
    XFixesSelectSelectionInput(display, tree_.root(), tree_.atoms().compositorSelection,
                               XFixesSetSelectionOwnerNotifyMask |
                                   XFixesSelectionWindowDestroyNotifyMask |
                                   XFixesSelectionClientCloseNotifyMask);
  } else {
    fixesEvent_ = -1;
  }
  int event = 0, error = 0, major = 2, minor = 0;
  if (!XQueryExtension(display, "XInputExtension", &xiOpcode_, &event, &error) ||
      XIQueryVersion(display, &major, &minor) != Success) {
    xiOpcode_ = -1;
  }
}

bool DesktopNews::CompositorRunning() {
  return XGetSelectionOwner(tree_.display(), tree_.atoms().compositorSelection) != None;
}

void DesktopNews::WatchActivity(bool on) {
  Display* display = tree_.display();
  XSelectInput(display, tree_.root(), on ? PropertyChangeMask : NoEventMask);
  if (xiOpcode_ >= 0) {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (on) XISetMask(bits, XI_RawButtonPress);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(display, tree_.root(), &mask, 1);
  }
  XFlush(display);
}

void DesktopNews::WatchWindow(Window window) {
  // A window already gone is caught here; the caller's next look at it finds out.
  XErrorTrap trap(tree_.display());
  // The program's own windows keep the structure events their other watchers asked for.
  if (watched_ != None && !tree_.IsOwn(watched_)) {
    XSelectInput(tree_.display(), watched_, NoEventMask);
  }
  watched_ = window;
  if (watched_ != None && !tree_.IsOwn(watched_)) {
    XSelectInput(tree_.display(), watched_, StructureNotifyMask);
  }
}

bool DesktopNews::Handle(XEvent& event, InputBackend::Listener* listener) {
  if (event.type == GenericEvent && event.xcookie.extension == xiOpcode_) {
    if (!XGetEventData(tree_.display(), &event.xcookie)) return true;
    const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
    const bool press = event.xcookie.evtype == XI_RawButtonPress && IsPointerPress(raw->detail);
    XFreeEventData(tree_.display(), &event.xcookie);
    if (press && listener) listener->PointerPressed(tree_.ClientUnderPointer());
  } else if (event.type == PropertyNotify &&
             event.xproperty.atom == tree_.atoms().netActiveWindow) {
    if (listener) listener->ActiveWindowChanged();
  } else if (event.type == DestroyNotify && watched_ != None &&
             event.xdestroywindow.window == watched_) {
    watched_ = None;
    if (listener) listener->WindowDestroyed(event.xdestroywindow.window);
  } else if (fixesEvent_ >= 0 && event.type == fixesEvent_ + XFixesSelectionNotify) {
    if (listener) listener->CompositorChanged(CompositorRunning());
  } else {
    return false;
  }
  return true;
}

}  // namespace kavo::platform::x11
