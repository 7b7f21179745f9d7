#pragma once
// What a Wayland desktop backend is built from: a compositor's list of toplevel windows with
// the request that activates one, a way to type into the window with the focus, and the seat's
// idle notices. Each compositor family offers them through protocols of its own (wlroots'
// foreign-toplevel list and virtual keyboard, KDE Plasma's window management and fake input);
// the backend on top (toplevel_desktop.h) is the same for all.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/key_injection.h"
#include "platform/wayland/idle_watch.h"

namespace kavo::platform::wayland {

// Key strokes into the window with the keyboard focus.
class Typist {
 public:
  virtual ~Typist() = default;
  // Presses or releases each stroke's key in order.
  virtual Injection Send(const std::vector<KeyStroke>& strokes) = 0;
  // Presses the keys and keeps them down; codes gets what went down, in order.
  virtual Injection Press(const std::vector<KeyStroke>& keys,
                          std::vector<std::uint32_t>& codes) = 0;
  // Lets go of keys Press put down, in reverse order.
  virtual void Release(const std::vector<std::uint32_t>& codes) = 0;
};

class WindowSource {
 public:
  struct Window {
    std::string title;
    std::string appId;
    std::int64_t pid = 0;  // 0 where the compositor names no process
    bool own = false;      // one of the bar's own windows
    bool activated = false;
    // Where it lies on the desktop, where the compositor tells (0 x 0 otherwise).
    int x = 0, y = 0, width = 0, height = 0;
  };

  virtual ~WindowSource() = default;

  // Handles are numbers that stay with their window for as long as it lives; 0 is none. The top
  // bit is set: a handle is never taken for a pointer or a small number the toolkit calls one of
  // its own windows by.
  virtual std::uint64_t Activated() const = 0;
  virtual const Window* Find(std::uint64_t handle) const = 0;
  // Asks the compositor to activate the window, and waits, at most timeoutMs, until it says so.
  virtual bool Activate(std::uint64_t handle, int timeoutMs) = 0;

  // The way to type, made at the first use; nullptr where the compositor offers none.
  virtual Typist* Typer() = 0;
  // Why Typer gives nothing, in a sentence the user can act on.
  virtual std::string NoTyperReason() const = 0;
  // Watches the seat for idleMs of stillness; nullptr where the compositor offers no notices.
  virtual std::unique_ptr<IdleWatch> WatchIdle(std::uint32_t idleMs) = 0;
  // Whether the seat's activity now is the user's alone, so that the idle notices tell a stroke.
  virtual bool IdleTellsStrokes() const { return true; }

  // The descriptor that becomes readable when the compositor has news; ReadNews takes it in.
  virtual int Descriptor() const = 0;
  virtual void ReadNews() = 0;
};

}  // namespace kavo::platform::wayland
