#pragma once
// A Wayland desktop for end-to-end tests: a headless compositor run as an unprivileged user (sway
// refuses to run as root), programs started on it as that user, and what sway says of its
// windows. sway is a wlroots compositor; weston stands for the desktops that lack its protocols;
// KWin is KDE Plasma's, run in a session bus of its own (kwin_driver.h drives it).

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "desktop.h"

namespace kavo::e2e {

// How many pixels of a PNG file have exactly this colour ("#RRGGBB").
int CountColour(const std::string& png, const std::string& colour);

class WaylandSession {
 public:
  enum class Compositor { Sway, Weston, KWin };

  // Why no session of this compositor can start here (it is not installed, say); empty when one
  // can.
  static std::string Unavailable(Compositor compositor);

  // Starts the compositor and waits for it: sway with these extra lines of configuration, KWin
  // with these lines in the [Layout] section of its keyboard settings ("LayoutList=de").
  explicit WaylandSession(Compositor compositor, const std::vector<std::string>& config = {});
  ~WaylandSession();
  WaylandSession(const WaylandSession&) = delete;
  WaylandSession& operator=(const WaylandSession&) = delete;

  // The path clients connect to (usable as WAYLAND_DISPLAY by any user allowed there).
  const std::string& DisplayPath() const { return display_; }
  // Starts a program on the desktop as the session's user.
  std::unique_ptr<Process> Start(const std::vector<std::string>& argv, const std::string& folder,
                                 std::vector<std::string> env = {}) const;
  // Hands a folder (and what it holds) to the session's user.
  void GiveFolder(const std::string& folder) const;
  // A folder of the session's own, removed with it.
  const std::string& RuntimeFolder() const { return runtime_; }

  // KWin only: lets the program at this absolute path use these Wayland interfaces (and
  // restricted D-Bus interfaces), as a desktop file in the user's applications folder does.
  void Authorize(const std::string& program, const std::string& waylandInterfaces,
                 const std::string& dbusInterfaces = "") const;

  // sway only, from here on. A toplevel window as sway's tree shows it.
  struct Window {
    std::string title, appId;
    Geometry rect;
    bool focused = false;
  };
  std::vector<Window> Windows() const;
  // The window whose title is this one; nullopt-like empty title when there is none.
  Window Find(const std::string& title) const;
  // The title of the window with the keyboard focus; "" when none has it.
  std::string Focused() const;
  // Runs a sway command ("[title=X] focus"); false when sway refused it.
  bool Command(const std::string& command) const;
  // A screenshot of the whole output, as PNG (grim on sway, weston's own tool on weston).
  void Screenshot(const std::string& path) const;
  // How many pixels of the output's rectangle have exactly this colour ("#RRGGBB").
  int CountPixels(const Geometry& area, const std::string& colour) const;

 private:
  std::string Swaymsg(const std::string& arguments) const;

  Compositor compositor_;
  std::string user_;  // empty when the tests do not run as root
  std::string runtime_;
  std::string display_;
  std::string ipc_;
  std::string bus_;  // KWin's session bus
  std::unique_ptr<Process> compositorProcess_;
};

}  // namespace kavo::e2e
