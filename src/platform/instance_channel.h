#pragma once
// A channel on this machine by which a later start of the bar reaches the running one: a socket
// in the session's runtime folder on POSIX, a named pipe on Windows. Small enough to need no
// networking library, which would cost every start its load time and memory.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace kavo::platform {

class InstanceChannel {
 public:
  virtual ~InstanceChannel() = default;
  // What the event loop waits on until a later start connects: a descriptor that becomes
  // readable on POSIX, an event handle that becomes signalled on Windows.
  virtual std::intptr_t Waitable() const = 0;
  // The lines the starts that connected since the last call sent, each without its line end.
  virtual std::vector<std::string> TakeMessages() = 0;
};

// The name a bar for the settings folder of this key listens under: a socket beside its lock
// (lockBase + ".socket") on POSIX, a named pipe on Windows.
std::u16string ChannelName(std::u16string_view key, std::u16string_view lockBase);

// Listens under the name (a socket's path; a pipe's name on Windows), replacing whatever a bar
// that ended left there; only this user may connect. nullptr with the system's error code when
// that fails.
std::unique_ptr<InstanceChannel> ListenForLaterStarts(std::u16string_view name, ErrorCode& error);

// Sends one line to the bar listening under the name; false when none takes it.
bool SendToRunningInstance(std::u16string_view name, std::string_view line);

}  // namespace kavo::platform
