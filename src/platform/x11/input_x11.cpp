// The input backend for X11: EWMH for the active window and activation (through libxdo), XTest
// for the key strokes; the shapes of the bar's windows, the window manager's help with them, and
// the desktop's news each have a part of their own.
//
// Key events go through XTest directly rather than libxdo's key sequences: those add a key's own
// modifier mask when the key is itself a modifier (so Ctrl would be pressed twice), release Shift
// before the shifted key, and lock the keyboard group around every key. The bar must deliver the
// exact press and release order of a binding.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>

extern "C" {
#include <xdo.h>
}

#include <algorithm>
#include <chrono>
#include <thread>

#include "base/text_codec.h"
#include "platform/input.h"
#include "platform/x11/desktop_news.h"
#include "platform/x11/input_x11.h"
#include "platform/x11/keymap_x11.h"
#include "platform/x11/window_manager_requests.h"
#include "platform/x11/window_shapes.h"
#include "platform/x11/window_tree.h"
#include "platform/x11/x11_rules.h"
#include "platform/x11/x_error_trap.h"

namespace kavo::platform {
namespace {

using x11::XErrorTrap;

constexpr auto kActivationWait = std::chrono::milliseconds(250);

class X11InputBackend final : public InputBackend {
 public:
  explicit X11InputBackend(Display* display)
      : display_(display),
        xdo_(xdo_new_with_opened_display(display, nullptr, 1)),
        tree_(display),
        shapes_(tree_),
        windowManager_(tree_),
        news_(tree_) {
    if (xdo_) xdo_->quiet = 1;
  }

  ~X11InputBackend() override {
    // No key may stay down once the bar is gone: the server would keep it pressed.
    ReleaseKeys(HeldKeys{down_});
    keymap_.Restore();
    if (xdo_) {
      xdo_free(xdo_);  // closes the display too
    } else {
      XCloseDisplay(display_);
    }
  }

  bool CanType() const override { return xdo_ != nullptr; }
  std::string Problem() const override {
    return CanType() ? "" : "The typing library could not start on this X server.";
  }

  WindowHandle ForegroundWindow() override {
    XErrorTrap trap(display_);
    if (const auto active = tree_.ActiveWindow()) return trap.Failed() ? 0 : *active;
    // No window manager to ask: the top-level window holding the focus.
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    if (focus == None || focus == PointerRoot) return 0;
    const Window top = tree_.TopLevelOf(focus);
    return trap.Failed() ? 0 : top;
  }

  std::u16string WindowTitle(WindowHandle window) override {
    if (window == 0) return u"";
    XErrorTrap trap(display_);
    std::u16string title;
    if (const auto name =
            tree_.ReadProperty(window, tree_.atoms().netWmName, tree_.atoms().utf8String, 4096);
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
    return x11::BarTitle(std::move(title));
  }

  std::int64_t WindowProcess(WindowHandle window) override {
    if (window == 0) return 0;
    XErrorTrap trap(display_);
    const auto pid = tree_.ReadProperty(window, tree_.atoms().netWmPid, XA_CARDINAL, 1);
    if (!pid || pid->format != 32 || pid->count != 1 || trap.Failed()) return 0;
    return static_cast<std::int64_t>(pid->Long(0));
  }

  std::u16string WindowProgram(WindowHandle window) override {
    if (window == 0) return u"";
    XErrorTrap trap(display_);
    XClassHint hint{};
    std::u16string program;
    if (XGetClassHint(display_, window, &hint)) {
      if (hint.res_class) program = FromUtf8Lossy(hint.res_class);
      if (hint.res_name) XFree(hint.res_name);
      if (hint.res_class) XFree(hint.res_class);
    }
    return trap.Failed() ? u"" : program;
  }

  void BringWindowToTop(WindowHandle window) override {
    if (window == 0) return;
    XErrorTrap trap(display_);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes) || trap.Failed()) return;  // gone
    if (HasFocus(window)) return;

    if (tree_.ActiveWindow() && xdo_) {
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
    // Plan every key before the first event, so that a binding is sent whole or not at all.
    const std::vector<x11::KeyPlan> plans = PlanKeys(strokes);
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

  HeldKeys PressKeys(const std::vector<KeyStroke>& keys) override {
    HeldKeys held;
    if (!CanType() || keys.empty()) return held;
    const std::vector<x11::KeyPlan> plans = PlanKeys(keys);
    for (const x11::KeyPlan& plan : plans) {
      if (plan.keycode == 0) continue;
      for (const KeyCode mod : plan.modifiers) {
        XTestFakeKeyEvent(display_, mod, True, CurrentTime);
        held.codes.push_back(mod);
      }
      XTestFakeKeyEvent(display_, plan.keycode, True, CurrentTime);
      keymap_.Pin(plan.keycode);
      held.codes.push_back(plan.keycode);
    }
    XSync(display_, False);
    down_.insert(down_.end(), held.codes.begin(), held.codes.end());
    return held;
  }

  void ReleaseKeys(const HeldKeys& held) override {
    if (!CanType() || held.empty()) return;
    for (auto code = held.codes.rbegin(); code != held.codes.rend(); ++code) {
      XTestFakeKeyEvent(display_, static_cast<KeyCode>(*code), False, CurrentTime);
      keymap_.Unpin(static_cast<KeyCode>(*code));
      if (const auto it = std::find(down_.begin(), down_.end(), *code); it != down_.end()) {
        down_.erase(it);
      }
    }
    XSync(display_, False);
  }

  void SetInputShape(WindowHandle window, const std::vector<Rect>& rects) override {
    shapes_.Set(window, ShapeInput, rects);
  }

  void SetVisibleShape(WindowHandle window, const std::vector<Rect>& rects) override {
    shapes_.Set(window, ShapeBounding, rects);
  }

  bool CompositorRunning() override { return news_.CompositorRunning(); }

  void ShowOnAllDesktops(WindowHandle window) override { windowManager_.ShowOnAllDesktops(window); }

  std::optional<Margins> FrameExtents(WindowHandle window) override {
    return windowManager_.FrameExtents(window);
  }

  void SetListener(Listener* listener) override { listener_ = listener; }
  void WatchActivity(bool on) override { news_.WatchActivity(on); }
  void WatchWindow(WindowHandle window) override { news_.WatchWindow(window); }
  void WatchPointer(bool on) override { news_.WatchPointer(on); }

  int EventDescriptor() const override { return ConnectionNumber(display_); }
  bool HasQueuedEvents() const override { return XEventsQueued(display_, QueuedAlready) > 0; }

  void ProcessEvents() override {
    // Events already read off the connection first (a reply may have brought them in), then
    // whatever the server has sent since.
    while (XEventsQueued(display_, QueuedAfterReading) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == MappingNotify) {
        // Xlib maps keysyms to keycodes from its copy of the keyboard map.
        XRefreshKeyboardMapping(&event.xmapping);
      } else if (!news_.Handle(event, listener_) && !shapes_.Handle(event)) {
        windowManager_.Handle(event);
      }
    }
  }

 private:
  // The keys of the strokes on the keyboard as it is now. A layout switch arrives as
  // MappingNotify, which only reading the events applies; the other news waits for the event
  // loop, so that no handler runs in the middle of a click.
  std::vector<x11::KeyPlan> PlanKeys(const std::vector<KeyStroke>& strokes) {
    ApplyMappingChanges();
    std::vector<x11::KeyPlan> plans;
    plans.reserve(strokes.size());
    for (const KeyStroke& stroke : strokes) {
      const bool virtualKey = stroke.kind == KeyStroke::Kind::VirtualKey;
      const KeySym keysym = virtualKey ? x11::VirtualKeyToKeysym(stroke.code)
                                       : x11::CharacterToKeysym(static_cast<char16_t>(stroke.code));
      plans.push_back(keymap_.Plan(keysym, virtualKey));
    }
    return plans;
  }

  // Takes only the keyboard-map changes out of the queue, leaving the rest for ProcessEvents.
  void ApplyMappingChanges() {
    XEventsQueued(display_, QueuedAfterReading);
    XEvent event;
    while (XCheckTypedEvent(display_, MappingNotify, &event)) {
      XRefreshKeyboardMapping(&event.xmapping);
    }
  }

  // True when the keyboard focus is in the window (or in one of its children) and, under a
  // window manager, the window is the active one.
  bool HasFocus(Window window) {
    if (const auto active = tree_.ActiveWindow(); active && *active != window) return false;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    if (focus == PointerRoot) return false;
    for (Window w = focus; w != None; w = tree_.ParentOf(w)) {
      if (w == window) return true;
    }
    return false;
  }

  Display* display_;
  xdo_t* xdo_;
  x11::Keymap keymap_{display_};
  x11::WindowTree tree_;
  x11::WindowShapes shapes_;
  x11::WindowManagerRequests windowManager_;
  x11::DesktopNews news_;
  Listener* listener_ = nullptr;
  // Every key PressKeys put down and ReleaseKeys has not let go yet.
  std::vector<std::uint32_t> down_;
};

}  // namespace

namespace x11 {

std::unique_ptr<InputBackend> MakeX11InputBackend() {
  // A connection of our own: waiting for activation must not read the toolkit's events.
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::make_unique<X11InputBackend>(display);
}

}  // namespace x11
}  // namespace kavo::platform
