#include "platform/wayland/connection.h"

#include <poll.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdint>

namespace kavo::platform::wayland {

bool Dispatch(wl_display* display, int timeoutMs) {
  while (wl_display_prepare_read(display) != 0) {
    if (wl_display_dispatch_pending(display) < 0) return false;
  }
  wl_display_flush(display);
  pollfd wait{wl_display_get_fd(display), POLLIN, 0};
  if (::poll(&wait, 1, timeoutMs) <= 0) {
    wl_display_cancel_read(display);
    return true;
  }
  if (wl_display_read_events(display) != 0) return false;
  return wl_display_dispatch_pending(display) >= 0;
}

bool AwaitEffect(wl_display* display, int timeoutMs, const std::function<bool()>& done) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  const auto left = [&] {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
  };
  // Once the compositor answers the sync behind the request, it has acted on it and said so.
  bool synced = false;
  static const wl_callback_listener syncListener = {
      [](void* flag, wl_callback*, std::uint32_t) { *static_cast<bool*>(flag) = true; }};
  wl_callback* sync = wl_display_sync(display);
  wl_callback_add_listener(sync, &syncListener, &synced);
  while (!synced || !done()) {
    if (left() <= 0 || !Dispatch(display, left())) break;
  }
  wl_callback_destroy(sync);  // answered or not: nothing may reach synced after this
  return done();
}

}  // namespace kavo::platform::wayland
