// The input backend for X11: EWMH for the active window and activation (through libxdo), XTest
// for the key strokes.
//
// Key events go through XTest directly rather than libxdo's key sequences: those add a key's own
// modifier mask when the key is itself a modifier (so Ctrl would be pressed twice), release Shift
// before the shifted key, and lock the keyboard group around every key. The bar must deliver the
// exact press and release order of a binding.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>
#include <time.h>

extern "C" {
#include <xdo.h>
}

#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <set>
#include <thread>

#include "base/text_codec.h"
#include "platform/input.h"
#include "platform/x11/keymap_x11.h"
#include "platform/x11/x_error_trap.h"

namespace kavo::platform {
namespace {

using x11::XErrorTrap;

constexpr std::size_t kTitleUnits = 259;
constexpr auto kActivationWait = std::chrono::milliseconds(250);
// How long a window manager may take to answer a request for a window's frame extents.
constexpr auto kFrameExtentsWait = std::chrono::milliseconds(200);

class X11InputBackend final : public InputBackend {
 public:
  explicit X11InputBackend(Display* display)
      : display_(display), xdo_(xdo_new_with_opened_display(display, nullptr, 1)) {
    if (xdo_) xdo_->quiet = 1;
    netActiveWindow_ = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
    netWmName_ = XInternAtom(display_, "_NET_WM_NAME", False);
    netWmPid_ = XInternAtom(display_, "_NET_WM_PID", False);
    utf8String_ = XInternAtom(display_, "UTF8_STRING", False);
    wmState_ = XInternAtom(display_, "WM_STATE", False);
    netWmState_ = XInternAtom(display_, "_NET_WM_STATE", False);
    netSupportingWmCheck_ = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    netWmStateSticky_ = XInternAtom(display_, "_NET_WM_STATE_STICKY", False);
    netWmDesktop_ = XInternAtom(display_, "_NET_WM_DESKTOP", False);
    netFrameExtents_ = XInternAtom(display_, "_NET_FRAME_EXTENTS", False);
    netRequestFrameExtents_ = XInternAtom(display_, "_NET_REQUEST_FRAME_EXTENTS", False);
    const std::string cm = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display_));
    compositorSelection_ = XInternAtom(display_, cm.c_str(), False);

    // A compositor owns that selection while it runs: hear of every change of owner.
    int fixesError = 0;
    if (XFixesQueryExtension(display_, &fixesEvent_, &fixesError)) {
      XFixesSelectSelectionInput(display_, DefaultRootWindow(display_), compositorSelection_,
                                 XFixesSetSelectionOwnerNotifyMask |
                                     XFixesSelectionWindowDestroyNotifyMask |
                                     XFixesSelectionClientCloseNotifyMask);
    } else {
      fixesEvent_ = -1;
    }
    // Raw button events reach the root window without any grab, wherever the user presses.
    int event = 0, error = 0, major = 2, minor = 0;
    if (!XQueryExtension(display_, "XInputExtension", &xiOpcode_, &event, &error) ||
        XIQueryVersion(display_, &major, &minor) != Success) {
      xiOpcode_ = -1;
    }
  }

  ~X11InputBackend() override {
    keymap_.Restore();
    if (xdo_) {
      xdo_free(xdo_);  // closes the display too
    } else {
      XCloseDisplay(display_);
    }
  }

  bool CanType() const override { return xdo_ != nullptr; }

  WindowHandle ForegroundWindow() override {
    XErrorTrap trap(display_);
    if (const auto active = ActiveWindow()) return trap.Failed() ? 0 : *active;
    // No window manager to ask: the top-level window holding the focus.
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    if (focus == None || focus == PointerRoot) return 0;
    const Window top = TopLevelOf(focus);
    return trap.Failed() ? 0 : top;
  }

  std::u16string WindowTitle(WindowHandle window) override {
    if (window == 0) return u"";
    XErrorTrap trap(display_);
    std::u16string title;
    if (const auto name = ReadProperty(window, netWmName_, utf8String_, 4096);
        name && name->format == 8) {
      title = FromUtf8Lossy(name->bytes);
    } else {
      XTextProperty text{};
      if (XGetWMName(display_, window, &text) && text.value) {
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(display_, &text, &list, &count) >= Success && count > 0 &&
            list) {
          title = FromUtf8Lossy(list[0]);
        }
        if (list) XFreeStringList(list);
        XFree(text.value);
      }
    }
    if (trap.Failed()) return u"";
    if (const auto nul = title.find(u'\0'); nul != std::u16string::npos) title.resize(nul);
    if (title.size() > kTitleUnits) title.resize(kTitleUnits);
    return title;
  }

  std::int64_t WindowProcess(WindowHandle window) override {
    if (window == 0) return 0;
    XErrorTrap trap(display_);
    const auto pid = ReadProperty(window, netWmPid_, XA_CARDINAL, 1);
    if (!pid || pid->format != 32 || pid->count != 1 || trap.Failed()) return 0;
    return static_cast<std::int64_t>(pid->Long(0));
  }

  void BringWindowToTop(WindowHandle window) override {
    if (window == 0) return;
    XErrorTrap trap(display_);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes) || trap.Failed()) return;  // gone
    if (HasFocus(window)) return;

    if (ActiveWindow() && xdo_) {
      // Activation is asynchronous: ask the window manager, then wait until it is done, or keys
      // sent at once would land in the window that is still in front.
      xdo_activate_window(xdo_, window);
    } else {  // no window manager
      XRaiseWindow(display_, window);
      XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    }
    XFlush(display_);
    const auto deadline = std::chrono::steady_clock::now() + kActivationWait;
    while (!HasFocus(window) && !trap.Failed() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  void SendKeys(const std::vector<KeyStroke>& strokes) override {
    if (!CanType() || strokes.empty()) return;
    // A layout switch arrives as MappingNotify, which only reading the events applies; the
    // other news waits for the event loop, so that no handler runs in the middle of a click.
    ApplyMappingChanges();
    x11::Keymap& keymap = keymap_;
    // Plan every key before the first event, so that a binding is sent whole or not at all.
    std::vector<x11::KeyPlan> plans;
    plans.reserve(strokes.size());
    for (const KeyStroke& stroke : strokes) {
      const bool virtualKey = stroke.kind == KeyStroke::Kind::VirtualKey;
      const KeySym keysym = virtualKey ? x11::VirtualKeyToKeysym(stroke.code)
                                       : x11::CharacterToKeysym(static_cast<char16_t>(stroke.code));
      plans.push_back(keymap.Plan(keysym, virtualKey));
    }
    for (std::size_t i = 0; i < strokes.size(); ++i) {
      const x11::KeyPlan& plan = plans[i];
      if (plan.keycode == 0) continue;
      if (!strokes[i].release) {
        for (const KeyCode mod : plan.modifiers)
          XTestFakeKeyEvent(display_, mod, True, CurrentTime);
        XTestFakeKeyEvent(display_, plan.keycode, True, CurrentTime);
      } else {
        XTestFakeKeyEvent(display_, plan.keycode, False, CurrentTime);
        for (auto mod = plan.modifiers.rbegin(); mod != plan.modifiers.rend(); ++mod) {
          XTestFakeKeyEvent(display_, *mod, False, CurrentTime);
        }
      }
    }
    XSync(display_, False);
  }

  void SetInputShape(WindowHandle window, const std::vector<Rect>& rects) override {
    SetShape(window, ShapeInput, rects);
  }

  void SetVisibleShape(WindowHandle window, const std::vector<Rect>& rects) override {
    SetShape(window, ShapeBounding, rects);
  }

  bool CompositorRunning() override {
    return XGetSelectionOwner(display_, compositorSelection_) != None;
  }

  void ShowOnAllDesktops(WindowHandle window) override {
    if (window == 0) return;
    XErrorTrap trap(display_);
    // Read by the window manager when the window is mapped...
    const unsigned long all = 0xFFFFFFFF;
    XChangeProperty(display_, window, netWmDesktop_, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&all), 1);
    const auto state = ReadProperty(window, netWmState_, XA_ATOM, 64);
    bool sticky = false;
    for (unsigned long i = 0; state && state->format == 32 && i < state->count; ++i) {
      sticky = sticky || state->Long(i) == netWmStateSticky_;
    }
    if (!sticky) {
      const unsigned long atom = netWmStateSticky_;
      XChangeProperty(display_, window, netWmState_, XA_ATOM, 32, PropModeAppend,
                      reinterpret_cast<const unsigned char*>(&atom), 1);
    }
    // ...and asked of it once the window is on the screen: the toolkit and the window manager
    // may each write the state anew while mapping it.
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, window, &attributes) && attributes.map_state != IsUnmapped) {
      AskForAllDesktops(window);
    } else if (!trap.Failed()) {
      stickyOnMap_.insert(window);
      if (shaped_.insert(window).second) XSelectInput(display_, window, StructureNotifyMask);
    }
    XFlush(display_);
  }

  std::optional<Margins> FrameExtents(WindowHandle window) override {
    if (window == 0) return std::nullopt;
    XErrorTrap trap(display_);
    if (auto known = ReadFrameExtents(window)) return known;
    // Only a window manager would answer.
    if (!ReadProperty(DefaultRootWindow(display_), netSupportingWmCheck_, XA_WINDOW, 1)) {
      return std::nullopt;
    }
    SendToRoot(window, netRequestFrameExtents_, {});
    XFlush(display_);
    const auto deadline = std::chrono::steady_clock::now() + kFrameExtentsWait;
    while (std::chrono::steady_clock::now() < deadline && !trap.Failed()) {
      if (auto extents = ReadFrameExtents(window)) return extents;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return std::nullopt;
  }

  void SetListener(Listener* listener) override { listener_ = listener; }

  void WatchActivity(bool on) override {
    const Window root = DefaultRootWindow(display_);
    XSelectInput(display_, root, on ? PropertyChangeMask : NoEventMask);
    if (xiOpcode_ >= 0) {
      unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
      if (on) XISetMask(bits, XI_RawButtonPress);
      XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
      XISelectEvents(display_, root, &mask, 1);
    }
    XFlush(display_);
  }

  void WatchWindow(WindowHandle window) override {
    XErrorTrap trap(display_);
    if (watched_ != None && !shaped_.count(watched_)) {
      XSelectInput(display_, watched_, NoEventMask);
    }
    watched_ = window;
    if (watched_ != None && !shaped_.count(watched_)) {
      XSelectInput(display_, watched_, StructureNotifyMask);
    }
    XFlush(display_);
    trap.Failed();  // a window already gone: the caller's next look at it finds out
  }

  int EventDescriptor() const override { return ConnectionNumber(display_); }

  void ProcessEvents() override {
    // Events already read off the connection first (a reply may have brought them in), then
    // whatever the server has sent since.
    while (XEventsQueued(display_, QueuedAfterReading) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      Handle(event);
    }
  }

 private:
  void Handle(XEvent& event) {
    if (event.type == MappingNotify) {
      // Xlib maps keysyms to keycodes from its copy of the keyboard map.
      XRefreshKeyboardMapping(&event.xmapping);
    } else if (event.type == GenericEvent && event.xcookie.extension == xiOpcode_) {
      if (!XGetEventData(display_, &event.xcookie)) return;
      const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
      // Buttons 4 to 7 are the wheel's turns, not presses.
      const bool press =
          event.xcookie.evtype == XI_RawButtonPress && (raw->detail < 4 || raw->detail > 7);
      XFreeEventData(display_, &event.xcookie);
      if (press && listener_) listener_->PointerPressed(ClientUnderPointer());
    } else if (event.type == PropertyNotify && event.xproperty.atom == netActiveWindow_) {
      if (listener_) listener_->ActiveWindowChanged();
    } else if (event.type == DestroyNotify && event.xdestroywindow.window == watched_ &&
               watched_ != None) {
      const Window gone = watched_;
      watched_ = None;
      if (listener_) listener_->WindowDestroyed(gone);
    } else if (fixesEvent_ >= 0 && event.type == fixesEvent_ + XFixesSelectionNotify) {
      if (listener_) listener_->CompositorChanged(CompositorRunning());
    } else if (event.type == MapNotify && stickyOnMap_.erase(event.xmap.window)) {
      AskForAllDesktops(event.xmap.window);
      XFlush(display_);
    } else if ((event.type == ReparentNotify || event.type == ConfigureNotify) &&
               shaped_.count(event.xany.window)) {
      XErrorTrap trap(display_);
      ShapeFrames(event.xany.window);
    }
  }

  // Takes only the keyboard-map changes out of the queue, leaving the rest for ProcessEvents.
  void ApplyMappingChanges() {
    XEventsQueued(display_, QueuedAfterReading);
    XEvent event;
    while (XCheckTypedEvent(display_, MappingNotify, &event)) {
      XRefreshKeyboardMapping(&event.xmapping);
    }
  }

  void SetShape(WindowHandle window, int kind, const std::vector<Rect>& rects) {
    if (window == 0) return;
    int event = 0, error = 0;
    if (!XShapeQueryExtension(display_, &event, &error)) return;
    XErrorTrap trap(display_);
    if (rects.empty()) {
      XShapeCombineMask(display_, window, kind, 0, 0, None, ShapeSet);
    } else {
      std::vector<XRectangle> xrects;
      xrects.reserve(rects.size());
      for (const Rect& r : rects) {
        xrects.push_back({static_cast<short>(r.x), static_cast<short>(r.y),
                          static_cast<unsigned short>(r.width),
                          static_cast<unsigned short>(r.height)});
      }
      XShapeCombineRectangles(display_, window, kind, 0, 0, xrects.data(),
                              static_cast<int>(xrects.size()), ShapeSet, Unsorted);
    }
    // Framing by the window manager comes later: hear of it to shape the frame then.
    if (shaped_.insert(window).second) XSelectInput(display_, window, StructureNotifyMask);
    ShapeFrames(window);
    XFlush(display_);
  }

  void AskForAllDesktops(Window window) {
    SendToRoot(window, netWmDesktop_, {static_cast<long>(0xFFFFFFFF), 1});
    SendToRoot(window, netWmState_, {1 /* add */, static_cast<long>(netWmStateSticky_), 0, 1});
  }

  // A reparenting window manager puts the window in a frame of its own, which would still take
  // the presses and draw its background: the frames take the window's shapes too.
  void ShapeFrames(Window window) {
    for (Window parent = ParentOf(window); parent != None; parent = ParentOf(parent)) {
      int dx = 0, dy = 0;
      Window unused = None;
      XTranslateCoordinates(display_, window, parent, 0, 0, &dx, &dy, &unused);
      for (const int kind : {ShapeInput, ShapeBounding}) {
        XShapeCombineShape(display_, parent, kind, dx, dy, window, kind, ShapeSet);
      }
    }
  }

  // The client window below the pointer: the nearest window with WM_STATE on the way down from
  // the root, else the root's child there; 0 over the bare desktop.
  Window ClientUnderPointer() {
    XErrorTrap trap(display_);
    const Window root = DefaultRootWindow(display_);
    Window top = None;
    for (Window w = root;;) {
      Window rootReturn = None, child = None;
      int rx = 0, ry = 0, wx = 0, wy = 0;
      unsigned mask = 0;
      if (!XQueryPointer(display_, w, &rootReturn, &child, &rx, &ry, &wx, &wy, &mask) ||
          child == None || trap.Failed()) {
        return top;
      }
      if (w == root) top = child;
      if (ReadProperty(child, wmState_, AnyPropertyType, 0)) return child;
      w = child;
    }
  }

  std::optional<Margins> ReadFrameExtents(Window window) {
    const auto p = ReadProperty(window, netFrameExtents_, XA_CARDINAL, 4);
    if (!p || p->format != 32 || p->count != 4) return std::nullopt;
    return Margins{static_cast<int>(p->Long(0)), static_cast<int>(p->Long(1)),
                   static_cast<int>(p->Long(2)), static_cast<int>(p->Long(3))};
  }

  // An EWMH client message about the window, to the window manager through the root window.
  void SendToRoot(Window window, Atom type, std::initializer_list<long> data) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    int i = 0;
    for (const long d : data) event.xclient.data.l[i++] = d;
    XSendEvent(display_, DefaultRootWindow(display_), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
  }

  // A window property as read, or nullopt when the window has none of that type.
  struct Property {
    int format = 0;
    unsigned long count = 0;
    std::string bytes;
    // Item i of a 32-bit property, which Xlib hands over as longs.
    unsigned long Long(std::size_t i) const {
      unsigned long value = 0;
      std::memcpy(&value, bytes.data() + i * sizeof(long), sizeof value);
      return value;
    }
  };

  std::optional<Property> ReadProperty(Window w, Atom property, Atom type, long length) {
    Atom actual = None;
    Property p;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const bool ok = XGetWindowProperty(display_, w, property, 0, length, False, type, &actual,
                                       &p.format, &p.count, &after, &data) == Success &&
                    actual != None && (type == AnyPropertyType || actual == type);
    if (ok && data) {
      const std::size_t unit =
          p.format == 32 ? sizeof(long) : static_cast<std::size_t>(p.format / 8);
      p.bytes.assign(reinterpret_cast<const char*>(data), unit * p.count);
    }
    if (data) XFree(data);
    return ok ? std::optional(std::move(p)) : std::nullopt;
  }

  // EWMH: the active window as the window manager keeps it on the root window (0 for none);
  // nullopt when there is no such window manager.
  std::optional<Window> ActiveWindow() {
    const auto active = ReadProperty(DefaultRootWindow(display_), netActiveWindow_, XA_WINDOW, 1);
    if (!active) return std::nullopt;
    return active->count == 1 ? static_cast<Window>(active->Long(0)) : Window{0};
  }

  // The parent of w, or None when w is a top-level window (or gone).
  Window ParentOf(Window w) {
    Window root = None, parent = None, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, w, &root, &parent, &children, &count)) return None;
    if (children) XFree(children);
    return parent == root ? None : parent;
  }

  // True when the keyboard focus is in the window (or in one of its children) and, under a
  // window manager, the window is the active one.
  bool HasFocus(Window window) {
    if (const auto active = ActiveWindow(); active && *active != window) return false;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    if (focus == PointerRoot) return false;
    for (Window w = focus; w != None; w = ParentOf(w)) {
      if (w == window) return true;
    }
    return false;
  }

  // The client window that holds w: the nearest ancestor with WM_STATE, else the child of root.
  Window TopLevelOf(Window w) {
    while (!ReadProperty(w, wmState_, AnyPropertyType, 0)) {
      const Window parent = ParentOf(w);
      if (parent == None) return w;
      w = parent;
    }
    return w;
  }

  Display* display_;
  xdo_t* xdo_;
  x11::Keymap keymap_{display_};
  std::set<Window> shaped_;
  std::set<Window> stickyOnMap_;
  Listener* listener_ = nullptr;
  Window watched_ = None;
  int xiOpcode_ = -1;
  int fixesEvent_ = -1;
  Atom netActiveWindow_, netWmName_, netWmPid_, utf8String_, wmState_;
  Atom netWmState_, netWmStateSticky_, netWmDesktop_, netFrameExtents_, netRequestFrameExtents_;
  Atom compositorSelection_, netSupportingWmCheck_;
};

// Where the session is not X11 the bar still runs; it just cannot reach other programs.
class UnavailableInputBackend final : public InputBackend {
 public:
  bool CanType() const override { return false; }
  WindowHandle ForegroundWindow() override { return 0; }
  std::u16string WindowTitle(WindowHandle) override { return u""; }
  std::int64_t WindowProcess(WindowHandle) override { return 0; }
  void BringWindowToTop(WindowHandle) override {}
  void SendKeys(const std::vector<KeyStroke>&) override {}
  void SetInputShape(WindowHandle, const std::vector<Rect>&) override {}
};

}  // namespace

std::unique_ptr<InputBackend> MakeInputBackend(std::string_view platformName) {
  if (platformName == "xcb") {
    // A connection of our own: waiting for activation must not read the toolkit's events.
    if (Display* display = XOpenDisplay(nullptr)) {
      int event = 0, error = 0, major = 0, minor = 0;
      if (XTestQueryExtension(display, &event, &error, &major, &minor)) {
        return std::make_unique<X11InputBackend>(display);
      }
      XCloseDisplay(display);
    }
  }
  return std::make_unique<UnavailableInputBackend>();
}

}  // namespace kavo::platform
