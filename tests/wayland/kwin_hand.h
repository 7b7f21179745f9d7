#pragma once
// A person's hand and eyes on a headless KWin: the pointer and keys through KWin's fake input,
// the window list and screenshots, all through the driver program (kwin_driver.cpp) run as the
// session's user, which KWin authorizes by its desktop file.

#include <memory>
#include <string>
#include <vector>

#include "wayland_session.h"

namespace kavo::e2e {

class KWinHand {
 public:
  // Starts the driver (at driverPath, a program of the test build) on the session; throws when
  // KWin does not let it work.
  KWinHand(const WaylandSession& session, const std::string& driverPath);
  ~KWinHand();
  KWinHand(const KWinHand&) = delete;
  KWinHand& operator=(const KWinHand&) = delete;

  void MoveTo(int x, int y);
  // The left button, where the pointer is; when it went, in the monotonic clock's nanoseconds.
  long long Button(bool down);
  // Comes over the point a moment before it presses, as a hand does.
  void Click(int x, int y);
  // Presses at one point, moves to the other in a few steps, releases there.
  void Drag(int x0, int y0, int x1, int y1);
  // Taps the key of this evdev code.
  void TapKey(int evdevCode);

  struct Window {
    std::string title, appId;
    bool active = false;
    Geometry rect;
  };
  std::vector<Window> Windows();
  Window Find(const std::string& title);
  // The title of the active window; "" when none is.
  std::string Active();
  // Asks KWin to activate the window with this title.
  void Activate(const std::string& title);
  // A screenshot of the desktop's rectangle, as PNG.
  void Shot(const Geometry& area, const std::string& path);
  // How many pixels of the rectangle have exactly this colour ("#RRGGBB").
  int CountPixels(const Geometry& area, const std::string& colour);

 private:
  // Sends a command and waits until the driver has done it; what it printed.
  std::string Do(const std::string& command);

  const WaylandSession& session_;
  std::string folder_;
  std::string commands_, answers_;
  int commandsFd_ = -1;
  std::size_t done_ = 0;
  std::unique_ptr<Process> driver_;
};

}  // namespace kavo::e2e
