#pragma once
// The seat's activity as a wlroots compositor reports it to any client: a notice once nobody
// has touched a pointer or key for a while, and another when someone does again. The only sign
// of a stroke on another program's window that such a compositor gives away.

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

struct wl_seat;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;
struct ext_idle_notifier_v1;
struct ext_idle_notification_v1;

namespace kavo::platform::wayland {

class IdleWatch {
 public:
  using Clock = std::chrono::steady_clock;
  struct Notice {
    bool idle;  // false: activity resumed
    Clock::time_point at;
  };

  // Starts watching for idleMs of stillness through whichever manager is given (the newer one
  // is preferred); nullptr when neither is.
  static std::unique_ptr<IdleWatch> Start(ext_idle_notifier_v1* notifier, org_kde_kwin_idle* kde,
                                          wl_seat* seat, std::uint32_t idleMs);
  ~IdleWatch();
  IdleWatch(const IdleWatch&) = delete;
  IdleWatch& operator=(const IdleWatch&) = delete;

  Clock::time_point Started() const { return started_; }
  bool HasNotices() const { return !notices_.empty(); }
  // The notices that came since the last call, oldest first.
  std::vector<Notice> TakeNotices();

 private:
  IdleWatch() = default;
  void Add(bool idle) { notices_.push_back({idle, Clock::now()}); }

  ext_idle_notification_v1* notification_ = nullptr;
  org_kde_kwin_idle_timeout* timeout_ = nullptr;
  Clock::time_point started_;
  std::vector<Notice> notices_;
};

}  // namespace kavo::platform::wayland
