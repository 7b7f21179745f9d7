#pragma once
// What the bar needs of the desktop: the foreground window and its title, bringing a window to
// the front, and synthesised key strokes into whatever has the keyboard focus.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavo::platform {

// A top-level window of the desktop (an X11 window id, or an HWND); 0 is none.
using WindowHandle = std::uintptr_t;

// One key going down or up: a Windows virtual-key code (only its low 8 bits count), or a
// character to be typed with whatever key and level produce it on the active layout.
struct KeyStroke {
  enum class Kind { VirtualKey, Character };
  Kind kind = Kind::VirtualKey;
  std::int32_t code = 0;
  bool release = false;

  bool operator==(const KeyStroke&) const = default;
};

class InputBackend {
 public:
  virtual ~InputBackend() = default;

  // False where this desktop cannot be typed into (a session that is not X11, say).
  virtual bool CanType() const = 0;
  // Why it cannot, and what the user can do about it, in a sentence; empty when it can.
  virtual std::string Problem() const { return ""; }
  // The window in front: the active top-level window, 0 when there is none.
  virtual WindowHandle ForegroundWindow() = 0;
  // The window's title, at most 259 UTF-16 units; empty when it has none or is gone.
  virtual std::u16string WindowTitle(WindowHandle window) = 0;
  // The process that owns the window, 0 when unknown.
  virtual std::int64_t WindowProcess(WindowHandle window) = 0;
  // The name of the program the window belongs to, as the desktop knows it: the class part of
  // WM_CLASS on X11, the executable's file name without its extension on Windows. Empty when
  // unknown.
  virtual std::u16string WindowProgram(WindowHandle) { return u""; }
  // Brings the window to the front with the keyboard focus, and returns once it has it (or a
  // short while has passed). A window of 0, or one that is gone, is left alone.
  virtual void BringWindowToTop(WindowHandle window) = 0;
  // Sends the strokes, in order, to whatever has the keyboard focus.
  virtual void SendKeys(const std::vector<KeyStroke>& strokes) = 0;

  // Keys that PressKeys put down, as the backend pressed them (X keycodes, or virtual keys),
  // modifiers a key needed included, in the order they went down.
  struct HeldKeys {
    std::vector<std::uint32_t> codes;
    bool empty() const { return codes.empty(); }
  };
  // Presses the keys (their press strokes), in order, and keeps them down.
  virtual HeldKeys PressKeys(const std::vector<KeyStroke>& keys) = 0;
  // Lets go of held keys in reverse order, with the very codes that went down, whatever
  // happened to the keyboard's layout in between.
  virtual void ReleaseKeys(const HeldKeys& held) = 0;

  struct Rect {
    int x, y, width, height;
  };
  // Limits where the window takes mouse presses: outside these rectangles (window coordinates,
  // device pixels) presses reach what lies below. An empty list gives the whole window back.
  virtual void SetInputShape(WindowHandle window, const std::vector<Rect>& rects) = 0;

  // Limits what of the window is drawn at all: outside these rectangles (window coordinates,
  // device pixels) the desktop below shows. For desktops that cannot blend a see-through window
  // (no compositor). An empty list shows the whole window again.
  virtual void SetVisibleShape(WindowHandle, const std::vector<Rect>&) {}

  // Whether a compositor blends see-through windows with what lies below them.
  virtual bool CompositorRunning() { return true; }

  // Keeps the window on every virtual desktop, as on-screen keyboards are.
  virtual void ShowOnAllDesktops(WindowHandle) {}

  // The window manager's frame around a window, in device pixels; asked for before the window
  // is first shown, so that it can be placed by its outer rectangle. Nullopt when unknown.
  struct Margins {
    int left = 0, right = 0, top = 0, bottom = 0;
    bool operator==(const Margins&) const = default;
  };
  virtual std::optional<Margins> FrameExtents(WindowHandle) { return std::nullopt; }

  // What the desktop reports to the bar, delivered from ProcessEvents.
  class Listener {
   public:
    virtual ~Listener() = default;
    // Another window may be in front now.
    virtual void ActiveWindowChanged() {}
    // The user pressed a pointer button; under is the top-level window below the pointer (0 when
    // none is known).
    virtual void PointerPressed(WindowHandle /*under*/) {}
    // The user let go of a pointer button (reported while WatchPointer is on).
    virtual void PointerReleased() {}
    // A window passed to WatchWindow was destroyed.
    virtual void WindowDestroyed(WindowHandle) {}
    // A compositor started or stopped.
    virtual void CompositorChanged(bool /*running*/) {}
  };
  virtual void SetListener(Listener*) {}
  // Reports the window in front changing and the user's pointer presses, while on; off, the
  // backend stays quiet about them.
  virtual void WatchActivity(bool /*on*/) {}
  // Reports the destruction of this window (0: of none).
  virtual void WatchWindow(WindowHandle) {}
  // Reports the user's pointer presses and releases, while on, without taking them from anyone.
  virtual void WatchPointer(bool /*on*/) {}

  // A descriptor that becomes readable when the desktop has news for the backend (a window
  // framed by the window manager, a keyboard layout switched); -1 when there is none.
  virtual int EventDescriptor() const { return -1; }
  // Handles that news; call it when the descriptor is readable.
  virtual void ProcessEvents() {}
  // Whether news was already read off the descriptor (by a call that waited for a reply) and
  // waits to be handled: the descriptor will not become readable for it. Cheap: no I/O.
  virtual bool HasQueuedEvents() const { return false; }
};

// The backend for this desktop. platformName is the toolkit's name for the session ("xcb" on
// X11, "wayland"); where no backend applies it returns one that cannot type and says why.
std::unique_ptr<InputBackend> MakeInputBackend(std::string_view platformName);

// The toolkit's platform for this session where the user named none: "wayland;xcb" on a
// Wayland compositor that offers what the bar needs; "xcb" on one that lacks it but runs
// XWayland, where the bar reaches X11 programs at least (missing then names what it lacks);
// empty to leave the choice to the toolkit.
std::string PreferredPlatform(std::string& missing);

// The backend of a session where the bar cannot reach other programs, for this reason.
std::unique_ptr<InputBackend> MakeUnavailableInputBackend(std::string problem = "");

}  // namespace kavo::platform
