#pragma once
// A Wayland desktop for end-to-end tests: headless sway run as an unprivileged user (it refuses
// to run as root), programs started on it as that user, and what sway says of its windows.

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "../e2e/desktop.h"

namespace kavo::e2e {

class SwaySession {
 public:
  // Why no session can start here (sway is not installed, say); empty when one can.
  static std::string Unavailable();

  // Starts sway with these extra lines of configuration and waits for its sockets.
  explicit SwaySession(const std::vector<std::string>& config = {});
  ~SwaySession();
  SwaySession(const SwaySession&) = delete;
  SwaySession& operator=(const SwaySession&) = delete;

  // The path clients connect to (usable as WAYLAND_DISPLAY by any user allowed there).
  const std::string& DisplayPath() const { return display_; }
  // Starts a program on the desktop as the session's user.
  std::unique_ptr<Process> Start(const std::vector<std::string>& argv, const std::string& folder,
                                 std::vector<std::string> env = {}) const;
  // Hands a folder (and what it holds) to the session's user.
  void GiveFolder(const std::string& folder) const;

  // A toplevel window as sway's tree shows it.
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
  // A screenshot of the whole output, as PNG.
  void Screenshot(const std::string& path) const;
  // How many pixels of the output's rectangle have exactly this colour ("#RRGGBB").
  int CountPixels(const Geometry& area, const std::string& colour) const;

 private:
  std::string Swaymsg(const std::string& arguments) const;

  std::string user_;  // empty when the tests do not run as root
  std::string runtime_;
  std::string display_;
  std::string ipc_;
  std::unique_ptr<Process> sway_;
};

}  // namespace kavo::e2e
