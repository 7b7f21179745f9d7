#pragma once
// From Windows virtual-key codes and characters to the keys of this X keyboard.

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

namespace kavo::platform::x11 {

// A key to press for a keysym: its keycode, and the modifier keys to hold around it so that the
// keysym comes out (Shift, or the layout's level modifier).
struct KeyPlan {
  KeyCode keycode = 0;
  std::vector<KeyCode> modifiers;
};

class Keymap {
 public:
  explicit Keymap(Display* display);
  ~Keymap();
  Keymap(const Keymap&) = delete;
  Keymap& operator=(const Keymap&) = delete;

  // A plan for the keysym. anyLevel: the physical key is what counts (a virtual key), so no
  // modifiers are added; otherwise the level that produces the keysym in the active group.
  // A keysym the keyboard lacks is bound to a spare keycode. The binding stays until Restore():
  // programs look the keysym up when they handle the event, which may be after a prompt undo,
  // and a later plan for the same keysym finds it bound already.
  KeyPlan Plan(KeySym keysym, bool anyLevel);
  // Undoes the bindings Plan made.
  void Restore();

  // A keycode held down: its binding is not handed to another keysym until Unpin, so that the
  // key comes up as what went down.
  void Pin(KeyCode keycode);
  void Unpin(KeyCode keycode);

  // How many keysyms may stay bound; the oldest binding makes way for a new one.
  static constexpr std::size_t kMaxBound = 8;

 private:
  KeyCode SpareKeycode();
  KeyCode ModifierKey(unsigned mask);

  Display* display_;
  std::vector<KeyCode> bound_;
  std::vector<KeyCode> pinned_;
};

}  // namespace kavo::platform::x11
