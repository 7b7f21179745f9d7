#pragma once
// The desktop backend for wlroots compositors: the window in front and its title from the
// foreign-toplevel list, activation through it, key strokes through a virtual keyboard. The
// bar's own window is the toolkit's and the compositor's business.

#include <memory>
#include <string>

#include "platform/desktop.h"

namespace kavo::platform::wayland {

// nullptr when the compositor lacks what the bar needs; missing then names the protocol.
std::unique_ptr<Desktop> MakeWaylandDesktop(std::string& missing);

// What the compositor of WAYLAND_DISPLAY lacks of what the bar needs; empty when it has it all,
// and then the connection made to find out is the one the next backend uses.
std::string MissingProtocol();

}  // namespace kavo::platform::wayland
