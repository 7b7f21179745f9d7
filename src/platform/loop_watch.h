#pragma once
// Waiting on the system's own objects inside the toolkit's event loop: a descriptor that becomes
// readable on POSIX, an event handle that becomes signalled on Windows.

#include <cstdint>
#include <functional>
#include <memory>

namespace kavo::platform {

// Calls back while it lives.
class LoopWatch {
 public:
  virtual ~LoopWatch() = default;
};

// Calls ready from the event loop each time the waitable is ready.
std::unique_ptr<LoopWatch> WatchInLoop(std::intptr_t waitable, std::function<void()> ready);

}  // namespace kavo::platform
