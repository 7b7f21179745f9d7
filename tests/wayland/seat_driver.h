#pragma once
// A pointer and a keyboard in a Wayland seat, driven by the test as a person's hand would: a
// virtual pointer (clicks and strokes at points of the output) and a virtual keyboard (a key
// typed into whatever has the focus). Held from start to end, as real devices are: clients bind
// their keyboard and pointer only once the seat has them.

#include <string>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

namespace kavo::e2e {

class SeatDriver {
 public:
  // Connects to the compositor at this path; throws when it lacks the virtual devices.
  explicit SeatDriver(const std::string& displayPath);
  ~SeatDriver();
  SeatDriver(const SeatDriver&) = delete;
  SeatDriver& operator=(const SeatDriver&) = delete;

  void MoveTo(int x, int y);
  // The left button, where the pointer is.
  void Button(bool down);
  void Click(int x, int y);
  // Presses the left button at one point, moves to the other in a few steps, releases there.
  void Drag(int x0, int y0, int x1, int y1);
  // Taps the key of this evdev code ("a" is 30) on a US layout.
  void TapKey(int evdevCode);

 private:
  void Sync();

  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_seat* seat_ = nullptr;
  zwlr_virtual_pointer_manager_v1* pointers_ = nullptr;
  zwp_virtual_keyboard_manager_v1* keyboards_ = nullptr;
  zwlr_virtual_pointer_v1* pointer_ = nullptr;
  zwp_virtual_keyboard_v1* keyboard_ = nullptr;
};

}  // namespace kavo::e2e
