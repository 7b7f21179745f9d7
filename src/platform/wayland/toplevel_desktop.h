#pragma once
// The desktop backend of a Wayland compositor that lists its windows to a client: the window in
// front and its title from the list, activation through it, key strokes through the source's
// typist, and the seat's idle notices standing in for the pointer presses no client is told of.

#include <memory>

#include "platform/desktop.h"
#include "platform/wayland/window_source.h"

namespace kavo::platform::wayland {

std::unique_ptr<Desktop> MakeToplevelDesktop(std::unique_ptr<WindowSource> source,
                                             std::unique_ptr<WindowShell> shell);

}  // namespace kavo::platform::wayland
