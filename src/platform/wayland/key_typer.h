#pragma once
// Key strokes through a virtual keyboard of our own. Its keymap holds the four modifiers and,
// one keycode each at level one, every key a key name stands for and the printable ASCII
// characters from the start; any other keysym is added when first typed and the keymap sent
// again, so any character and key name types as itself. No key stays down once it is gone.

#include <cstdint>
#include <vector>

#include "platform/wayland/window_source.h"

struct wl_display;
struct wl_seat;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

namespace kavo::platform::wayland {

class KeyTyper final : public Typist {
 public:
  KeyTyper(wl_display* display, wl_seat* seat, zwp_virtual_keyboard_manager_v1* manager);
  ~KeyTyper();
  KeyTyper(const KeyTyper&) = delete;
  KeyTyper& operator=(const KeyTyper&) = delete;

  // The modifiers' state follows the keys. Every keysym types: nothing is ever refused.
  Injection Send(const std::vector<KeyStroke>& strokes) override;
  Injection Press(const std::vector<KeyStroke>& keys, std::vector<std::uint32_t>& codes) override;
  void Release(const std::vector<std::uint32_t>& keycodes) override;

 private:
  // The keymap's keycode (evdev numbering) for a keysym, adding it where it is missing.
  std::uint32_t KeyFor(std::uint32_t keysym);
  // Adds the strokes' keys to the keymap, sending it once when any was missing.
  void Learn(const std::vector<KeyStroke>& strokes);
  // Makes this keyboard the seat's before its keys go.
  void TakeSeat();
  // One key down or up, by keycode; a modifier's keycode also updates the modifiers' state.
  void Key(std::uint32_t keycode, bool down);
  void SendKeymap();
  std::uint32_t Now() const;

  wl_display* display_;
  zwp_virtual_keyboard_v1* keyboard_;
  std::vector<std::uint32_t> keysyms_;  // keysyms_[i] sits at evdev keycode kFirstKey + i
  std::uint32_t modifiers_ = 0;
  std::vector<std::uint32_t> down_;  // keycodes down now, in the order they went down
};

}  // namespace kavo::platform::wayland
