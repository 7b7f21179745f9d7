#pragma once
// The X11 backend's rules that need no display, so they can be tested without one.

#include <string>

namespace kavo::platform::x11 {

// A window title as the bar keeps it: up to its first NUL, at most 259 UTF-16 units (the
// 260-unit buffer of the platform the bar comes from, its terminating zero included).
std::u16string BarTitle(std::u16string title);

// Raw button events 4 to 7 are the wheel's turns, not presses of a button.
constexpr bool IsPointerPress(int button) {
  return button < 4 || button > 7;
}

}  // namespace kavo::platform::x11
