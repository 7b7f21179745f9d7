#pragma once
// The desktop the bar runs on, by role: tracking windows, injecting keys, the bar's own window,
// and the news the desktop sends. A backend implements the roles its desktop offers; the chooser
// here picks the backend for the session.

#include <memory>
#include <string>
#include <string_view>

#include "platform/key_injection.h"
#include "platform/window_shell.h"
#include "platform/window_tracking.h"

namespace kavo::platform {

// News from the desktop on a connection of the backend's own, which the toolkit's event loop
// waits on.
class EventSource {
 public:
  virtual ~EventSource() = default;
  // A descriptor that becomes readable when the desktop has news (a window framed by the window
  // manager, a keyboard layout switched, the window in front changing).
  virtual int Descriptor() const = 0;
  // Handles that news, telling the roles' listeners; call it when the descriptor is readable.
  virtual void ProcessEvents() = 0;
  // Whether news was already read off the descriptor (by a call that waited for a reply) and
  // waits to be handled: the descriptor will not become readable for it. Cheap: no I/O.
  virtual bool HasQueuedEvents() const = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;

  virtual WindowTracking& Tracking() = 0;
  virtual KeyInjection& Keys() = 0;
  virtual WindowShell& Shell() = 0;
  // Null where the news comes through the toolkit's own event loop (or there is none).
  virtual EventSource* Events() = 0;

  // Why the bar cannot reach other programs here, and what the user can do about it, in a
  // sentence; empty when it can.
  virtual std::string Problem() const = 0;
  bool CanType() const { return Problem().empty(); }
};

// The desktop for this session. platformName is the toolkit's name for it ("xcb" on X11,
// "wayland", "windows"); where no backend applies, a desktop that reaches no program and says
// why.
std::unique_ptr<Desktop> MakeDesktop(std::string_view platformName);

// The toolkit's platform for this session where the user named none: "wayland;xcb" on a
// Wayland compositor that offers what the bar needs; "xcb" on one that lacks it but runs
// XWayland, where the bar reaches X11 programs at least (note then says what it lacks and what
// the user can do, in a sentence or two); empty to leave the choice to the toolkit.
std::string PreferredPlatform(std::string& note);

// A desktop where the bar reaches no program, for this reason: it sees no window, and its keys
// are refused with the reason.
std::unique_ptr<Desktop> MakeUnavailableDesktop(std::string problem, bool placesWindows = false);

}  // namespace kavo::platform
