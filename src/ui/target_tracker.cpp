#include "ui/target_tracker.h"

namespace kavo {

TargetTracker::TargetTracker(platform::WindowTracking& windows,
                             std::function<bool(WindowHandle)> isOwn)
    : windows_(windows), isOwn_(std::move(isOwn)) {}

void TargetTracker::StartLooking(WindowHandle previous) {
  looking_ = true;
  settlingUntil_.reset();
  previous_ = previous;
  // Only a live, titled window can be passed over: a window manager may still name a window
  // that is gone, whose id the next new window can get.
  const auto front = Candidate(windows_.ForegroundWindow());
  passedOver_ = front ? front->window : 0;
}

void TargetTracker::StartLookingAfterClose(Clock::time_point now) {
  StartLooking();
  settlingUntil_ = now + kCloseSettling;
}

TargetTracker::Needs TargetTracker::Watching() const {
  return {looking_, {.front = looking_ || following_, .presses = looking_}};
}

std::optional<TargetTracker::Target> TargetTracker::TargetClosed(Clock::time_point now) {
  if (following_ && !looking_) {
    taken_ = 0;
    return Check(now);
  }
  StartLookingAfterClose(now);
  return std::nullopt;
}

std::optional<TargetTracker::Target> TargetTracker::Check(Clock::time_point now) {
  if (!looking_ && !following_) return std::nullopt;
  const WindowHandle front = windows_.ForegroundWindow();
  if (!looking_) {
    // Following: a window of the bar's, one without a title or the desktop in front leaves the
    // target as it is.
    if (front == 0 || front == taken_) return std::nullopt;
    return Take(Candidate(front));
  }
  // No window in front (between one closing and the next coming forward) changes nothing.
  if (front == 0 || PassedOver(front) || isOwn_(front)) return std::nullopt;
  if (settlingUntil_ && now < *settlingUntil_) {
    // The window manager's choice after the close, not the user's.
    if (const auto chosen = Candidate(front)) {
      passedOver_ = chosen->window;
      settlingUntil_.reset();
    }
    return std::nullopt;
  }
  // Another program's window came forward.
  passedOver_ = 0;
  previous_ = 0;
  return Take(Candidate(front));
}

std::optional<TargetTracker::Target> TargetTracker::PointerPressed(WindowHandle under) {
  if (!looking_ || under == 0 || under != windows_.ForegroundWindow()) return std::nullopt;
  // A click into the window in front: that is the one the user chose, passed over or not. A
  // click into another window brings it forward, which Check then sees.
  return Take(Candidate(under));
}

std::optional<TargetTracker::Target> TargetTracker::ButtonClicked(Clock::time_point now) {
  if (!looking_) return Check(now);
  return Take(Candidate(windows_.ForegroundWindow()));
}

std::optional<TargetTracker::Target> TargetTracker::Candidate(WindowHandle window) {
  if (window == 0 || isOwn_(window) || windows_.IsDesktopShell(window)) return std::nullopt;
  std::u16string title = windows_.WindowTitle(window);
  if (title.empty()) return std::nullopt;  // the task bar, a desktop: never taken
  return Target{window, std::move(title)};
}

std::optional<TargetTracker::Target> TargetTracker::Take(std::optional<Target> target) {
  if (target) {
    looking_ = false;
    taken_ = target->window;
    passedOver_ = 0;
    previous_ = 0;
    settlingUntil_.reset();
  }
  return target;
}

}  // namespace kavo
