#pragma once
// Finds the target window: a window of another program that the user brought to the front.
// Looking starts with the bar and with ReAcquire and ends at the first titled foreign window
// found in front. Following, each such window that comes to the front after that becomes the
// target in turn; not following, the target stays until ReAcquire.
//
// The window already in front when looking starts (the terminal the bar was launched from, or
// the target itself after ReAcquire) is passed over until another program's window comes
// forward, or until the user clicks into it: a click is the user's own choice. The bar's own
// windows coming and going in between (its menu, the settings window) change nothing, and
// neither do the desktop's background and panels.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/window_tracking.h"

namespace kavo {

class TargetTracker {
 public:
  using Clock = std::chrono::steady_clock;
  using WindowHandle = platform::WindowHandle;

  struct Target {
    WindowHandle window = 0;
    std::u16string title;
    bool operator==(const Target&) const = default;
  };

  // isOwn tells the program's own windows, which are never taken.
  TargetTracker(platform::WindowTracking& windows, std::function<bool(WindowHandle)> isOwn);

  // Starts looking; the window in front now is passed over, and so is previous, the target until
  // now, which the bar itself may still be bringing forward (after the settings window closed).
  void StartLooking(WindowHandle previous = 0);
  // Starts looking after the target was closed: the window that the window manager brings
  // forward in its place (within a second, without a click) is passed over as well.
  void StartLookingAfterClose(Clock::time_point now);
  bool Looking() const { return looking_; }
  // Following: the window in front is the target, once looking is over.
  void SetFollowing(bool on) { following_ = on; }
  bool Following() const { return following_; }

  // What the tracker needs from the desktop now. Looking, a poll besides the news of the window
  // in front and the user's presses; following, the news alone; else nothing, so that an idle
  // bar wakes for nothing.
  struct Needs {
    bool poll = false;
    platform::WindowTracking::Activity activity;
  };
  Needs Watching() const;

  // The target is gone. Following, the window in front takes its place (or the next to come
  // forward does); else looking starts again, passing over the window the window manager brings
  // forward in the target's place.
  std::optional<Target> TargetClosed(Clock::time_point now);

  // The window in front may have changed: a tick of the timer, or news from the desktop.
  std::optional<Target> Check(Clock::time_point now);
  // The user pressed a pointer button over the top-level window under (0: none known).
  std::optional<Target> PointerPressed(WindowHandle under);
  // A bar button was clicked: while looking, the window in front is the one the user works in;
  // following, one that came forward before the news of it arrived is taken here.
  std::optional<Target> ButtonClicked(Clock::time_point now);

  // How long after a close the window manager's own choice of a window is passed over.
  static constexpr std::chrono::milliseconds kCloseSettling{1000};

 private:
  // The titled foreign window, or nothing.
  std::optional<Target> Candidate(WindowHandle window);
  std::optional<Target> Take(std::optional<Target> target);

  platform::WindowTracking& windows_;
  std::function<bool(WindowHandle)> isOwn_;
  bool looking_ = false;
  bool following_ = false;
  WindowHandle taken_ = 0;  // the target as last taken
  bool PassedOver(WindowHandle window) const {
    return window != 0 && (window == passedOver_ || window == previous_);
  }
  WindowHandle passedOver_ = 0;
  WindowHandle previous_ = 0;
  std::optional<Clock::time_point> settlingUntil_;
};

}  // namespace kavo
