#include "platform/x11/desktop_news.h"

#include <X11/Xatom.h>
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
  // XInput 2.1 or later: raw events come even while another client holds a grab, as the
  // window under a stroke does from its press to its release.
  int event = 0, error = 0, major = 2, minor = 2;
  if (!XQueryExtension(display, "XInputExtension", &xiOpcode_, &event, &error) ||
      XIQueryVersion(display, &major, &minor) != Success) {
    xiOpcode_ = -1;
  }
}

bool DesktopNews::CompositorRunning() {
  return XGetSelectionOwner(tree_.display(), tree_.atoms().compositorSelection) != None;
}

void DesktopNews::WatchActivity(WindowTracking::Activity watch) {
  if (watch == activity_) return;  // each target taken while following asks again
  activity_ = watch;
  XSelectInput(tree_.display(), tree_.root(), watch.front ? PropertyChangeMask : NoEventMask);
  SelectRawButtons();
}

void DesktopNews::WatchPointer(bool on) {
  pointer_ = on;
  SelectRawButtons();
}

void DesktopNews::WatchPointerMotion() {
  if (motion_) return;
  motion_ = true;
  SelectRawButtons();
}

void DesktopNews::SelectRawButtons() {
  Display* display = tree_.display();
  if (xiOpcode_ >= 0) {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (activity_.presses || pointer_) XISetMask(bits, XI_RawButtonPress);
    if (pointer_) XISetMask(bits, XI_RawButtonRelease);
    if (motion_) XISetMask(bits, XI_RawMotion);
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
    XSelectInput(tree_.display(), watched_, StructureNotifyMask | PropertyChangeMask);
  }
}

bool DesktopNews::Handle(XEvent& event, WindowTracking::Listener* listener,
                         WindowShell::Listener* shell) {
  if (event.type == GenericEvent && event.xcookie.extension == xiOpcode_) {
    if (!XGetEventData(tree_.display(), &event.xcookie)) return true;
    const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
    const bool button = IsPointerPress(raw->detail);  // not a wheel's step
    const int type = event.xcookie.evtype;
    XFreeEventData(tree_.display(), &event.xcookie);
    if (type == XI_RawMotion) {
      // Once: the next is asked for anew, so that a moving pointer wakes the bar seldom.
      if (motion_) {
        motion_ = false;
        SelectRawButtons();
        if (listener) listener->PointerMoved();
      }
    } else if (button && listener && type == XI_RawButtonPress) {
      listener->PointerPressed(tree_.ClientUnderPointer());
    } else if (button && listener && type == XI_RawButtonRelease) {
      listener->PointerReleased();
    }
  } else if (event.type == PropertyNotify &&
             event.xproperty.atom == tree_.atoms().netActiveWindow) {
    if (listener) listener->ActiveWindowChanged();
  } else if (event.type == PropertyNotify && watched_ != None &&
             event.xproperty.window == watched_ &&
             (event.xproperty.atom == tree_.atoms().netWmName ||
              event.xproperty.atom == XA_WM_NAME)) {
    if (listener) listener->WindowTitleChanged(watched_);
  } else if (event.type == DestroyNotify && watched_ != None &&
             event.xdestroywindow.window == watched_) {
    watched_ = None;
    if (listener) listener->WindowDestroyed(event.xdestroywindow.window);
  } else if (fixesEvent_ >= 0 && event.type == fixesEvent_ + XFixesSelectionNotify) {
    if (shell) shell->CompositorChanged(CompositorRunning());
  } else {
    return false;
  }
  return true;
}

}  // namespace kavo::platform::x11
