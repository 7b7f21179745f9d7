#include "platform/wayland/idle_watch.h"

#include <wayland-client.h>

#include <utility>

extern "C" {
#include "idle-client.h"
}

namespace kavo::platform::wayland {

std::unique_ptr<IdleWatch> IdleWatch::Start(ext_idle_notifier_v1* notifier, org_kde_kwin_idle* kde,
                                            wl_seat* seat, std::uint32_t idleMs) {
  if ((!notifier && !kde) || !seat) return nullptr;
  std::unique_ptr<IdleWatch> watch(new IdleWatch);
  watch->started_ = Clock::now();
  if (notifier) {
    static const ext_idle_notification_v1_listener listener = {
        .idled = [](void* d, ext_idle_notification_v1*) { static_cast<IdleWatch*>(d)->Add(true); },
        .resumed = [](void* d,
                      ext_idle_notification_v1*) { static_cast<IdleWatch*>(d)->Add(false); },
    };
    watch->notification_ = ext_idle_notifier_v1_get_idle_notification(notifier, idleMs, seat);
    ext_idle_notification_v1_add_listener(watch->notification_, &listener, watch.get());
  } else {
    static const org_kde_kwin_idle_timeout_listener listener = {
        .idle = [](void* d, org_kde_kwin_idle_timeout*) { static_cast<IdleWatch*>(d)->Add(true); },
        .resumed = [](void* d,
                      org_kde_kwin_idle_timeout*) { static_cast<IdleWatch*>(d)->Add(false); },
    };
    watch->timeout_ = org_kde_kwin_idle_get_idle_timeout(kde, seat, idleMs);
    org_kde_kwin_idle_timeout_add_listener(watch->timeout_, &listener, watch.get());
  }
  return watch;
}

IdleWatch::~IdleWatch() {
  if (notification_) ext_idle_notification_v1_destroy(notification_);
  if (timeout_) org_kde_kwin_idle_timeout_release(timeout_);
}

std::vector<IdleWatch::Notice> IdleWatch::TakeNotices() {
  return std::exchange(notices_, {});
}

}  // namespace kavo::platform::wayland
