#include "seat_driver.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

extern "C" {
#include "virtual-keyboard-client.h"
#include "virtual-pointer-client.h"
}

namespace kavo::e2e {
namespace {

constexpr std::uint32_t kOutputWidth = 1280, kOutputHeight = 800;  // the session's one output
constexpr std::uint32_t kLeftButton = 0x110;                       // BTN_LEFT

std::uint32_t Now() {
  using namespace std::chrono;
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t) {
  auto** globals = static_cast<void**>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals[0]) {
    globals[0] = wl_registry_bind(registry, name, &wl_seat_interface, 1);
  } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    globals[1] = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
  } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
    globals[2] = wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1);
  }
}
void OnGlobalRemoved(void*, wl_registry*, std::uint32_t) {}

// The compositor's default layout (US), for the virtual keyboard.
void SendDefaultKeymap(zwp_virtual_keyboard_v1* keyboard) {
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  xkb_keymap* keymap = xkb_keymap_new_from_names(context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (!keymap) throw std::runtime_error("no default keymap");
  char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
  const std::size_t size = std::strlen(text) + 1;
  const int fd = memfd_create("seat-driver-keymap", MFD_CLOEXEC);
  if (fd < 0 || ::write(fd, text, size) != static_cast<ssize_t>(size)) {
    throw std::runtime_error("cannot pass the keymap");
  }
  zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                 static_cast<std::uint32_t>(size));
  ::close(fd);
  std::free(text);
  xkb_keymap_unref(keymap);
  xkb_context_unref(context);
}

}  // namespace

SeatDriver::SeatDriver(const std::string& displayPath) {
  display_ = wl_display_connect(displayPath.c_str());
  if (!display_) throw std::runtime_error("cannot connect to " + displayPath);
  void* globals[3] = {};
  static const wl_registry_listener listener = {OnGlobal, OnGlobalRemoved};
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &listener, globals);
  wl_display_roundtrip(display_);
  seat_ = static_cast<wl_seat*>(globals[0]);
  pointers_ = static_cast<zwlr_virtual_pointer_manager_v1*>(globals[1]);
  keyboards_ = static_cast<zwp_virtual_keyboard_manager_v1*>(globals[2]);
  if (!seat_ || !pointers_ || !keyboards_) throw std::runtime_error("no virtual pointer/keyboard");
  pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointers_, seat_);
  keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboards_, seat_);
  SendDefaultKeymap(keyboard_);
  Sync();
}

SeatDriver::~SeatDriver() {
  if (keyboard_) zwp_virtual_keyboard_v1_destroy(keyboard_);
  if (pointer_) zwlr_virtual_pointer_v1_destroy(pointer_);
  if (keyboards_) wl_proxy_destroy(reinterpret_cast<wl_proxy*>(keyboards_));
  if (pointers_) zwlr_virtual_pointer_manager_v1_destroy(pointers_);
  if (seat_) wl_seat_destroy(seat_);
  if (registry_) wl_registry_destroy(registry_);
  if (display_) wl_display_disconnect(display_);
}

void SeatDriver::MoveTo(int x, int y) {
  zwlr_virtual_pointer_v1_motion_absolute(pointer_, Now(), static_cast<std::uint32_t>(x),
                                          static_cast<std::uint32_t>(y), kOutputWidth,
                                          kOutputHeight);
  zwlr_virtual_pointer_v1_frame(pointer_);
  Sync();
}

void SeatDriver::Button(bool down) {
  zwlr_virtual_pointer_v1_button(
      pointer_, Now(), kLeftButton,
      down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
  zwlr_virtual_pointer_v1_frame(pointer_);
  Sync();
}

void SeatDriver::Click(int x, int y) {
  MoveTo(x, y);
  Button(true);
  Button(false);
}

void SeatDriver::Drag(int x0, int y0, int x1, int y1) {
  MoveTo(x0, y0);
  Button(true);
  constexpr int kSteps = 5;
  for (int i = 1; i <= kSteps; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    MoveTo(x0 + (x1 - x0) * i / kSteps, y0 + (y1 - y0) * i / kSteps);
  }
  Button(false);
}

void SeatDriver::TapKey(int evdevCode) {
  const auto code = static_cast<std::uint32_t>(evdevCode);
  zwp_virtual_keyboard_v1_key(keyboard_, Now(), code, WL_KEYBOARD_KEY_STATE_PRESSED);
  zwp_virtual_keyboard_v1_key(keyboard_, Now(), code, WL_KEYBOARD_KEY_STATE_RELEASED);
  Sync();
}

// Each step reaches the compositor before the next: it handles them in order, as a device's.
void SeatDriver::Sync() {
  wl_display_roundtrip(display_);
}

}  // namespace kavo::e2e
