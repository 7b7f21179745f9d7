#include "ui/target_watch.h"

namespace kavo {

void TargetWatch::Apply() {
  const TargetTracker::Needs needs = tracker_.Watching();
  if (!needs.poll) {
    poll_.stop();
  } else if (!poll_.isActive()) {
    poll_.start();
  }
  windows_.WatchActivity(needs.activity);
}

void TargetWatch::Follow(platform::WindowHandle target) {
  Apply();
  windows_.WatchWindow(target);
}

}  // namespace kavo
