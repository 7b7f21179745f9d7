#pragma once
// Reading a Wayland connection of the backend's own, apart from the toolkit's.

#include <functional>

struct wl_display;

namespace kavo::platform::wayland {

// Sends what is queued, then reads and handles the compositor's news, waiting at most timeoutMs
// for some to come. False when the connection is broken.
bool Dispatch(wl_display* display, int timeoutMs);

// Reads news until the compositor has answered what was sent before and done holds, at most
// timeoutMs; whether done holds at the end. For a request whose effect the compositor reports.
bool AwaitEffect(wl_display* display, int timeoutMs, const std::function<bool()>& done);

}  // namespace kavo::platform::wayland
