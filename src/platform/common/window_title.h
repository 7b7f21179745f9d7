#pragma once
// A window title as the bar keeps it, whichever desktop reported it.

#include <string>

namespace kavo::platform {

// Up to its first NUL, at most 259 UTF-16 units (the 260-unit buffer of the platform the bar
// comes from, its terminating zero included).
std::u16string BarTitle(std::u16string title);

}  // namespace kavo::platform
