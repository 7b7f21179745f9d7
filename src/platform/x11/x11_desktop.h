#pragma once
// The desktop backend for X11 sessions.

#include <memory>

#include "platform/desktop.h"

namespace kavo::platform::x11 {

// A backend on a connection of its own to the display; null when there is no display or it
// lacks the XTest extension.
std::unique_ptr<Desktop> MakeX11Desktop();

}  // namespace kavo::platform::x11
