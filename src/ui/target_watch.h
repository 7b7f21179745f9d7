#pragma once
// What the bar asks of the desktop while it keeps a target, as the tracker needs it: a look at
// the window in front once a second while looking, the desktop's news of the window in front
// and of the user's presses, and the news of the target's own window (closed, renamed). Needs
// no screen.

#include <QTimer>

#include "platform/window_tracking.h"
#include "ui/target_tracker.h"

namespace kavo {

class TargetWatch {
 public:
  // poll: the bar's once-a-second timer, started and stopped here.
  TargetWatch(platform::WindowTracking& windows, const TargetTracker& tracker, QTimer& poll)
      : windows_(windows), tracker_(tracker), poll_(poll) {}

  // Asks for what the tracker needs now, and for nothing more: an idle bar wakes for nothing.
  void Apply();
  // Watches the target's own window, and the tracker's needs with it.
  void Follow(platform::WindowHandle target);

 private:
  platform::WindowTracking& windows_;
  const TargetTracker& tracker_;
  QTimer& poll_;
};

}  // namespace kavo
