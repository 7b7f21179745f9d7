#pragma once
// The X11 backend's rules that need no display, so they can be tested without one.

namespace kavo::platform::x11 {

// Raw button events 4 to 7 are the wheel's turns, not presses of a button.
constexpr bool IsPointerPress(int button) {
  return button < 4 || button > 7;
}

}  // namespace kavo::platform::x11
