#pragma once
// Where each key symbol lies in a keyboard layout: the evdev key and the modifiers that type it.
// Desktops whose virtual input goes through the session's own layout (KDE Plasma's fake input)
// need it to press the key that types what a binding names: on a German layout Ctrl+Z is the key
// marked Z, which is evdev's KEY_Y.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace kavo::platform::wayland {

struct LayoutKey {
  std::uint32_t evdev = 0;  // the key, as the kernel numbers it
  bool shift = false;       // typed with Shift held
  bool altGr = false;       // typed with the third level's modifier (AltGr) held
  bool operator==(const LayoutKey&) const = default;
};

class LayoutKeys {
 public:
  // From a keymap's text as a compositor sends it (XKB, text format v1); nothing when it does
  // not compile.
  static std::optional<LayoutKeys> FromKeymap(const std::string& text);
  // From a layout's names ("de", "nodeadkeys"), as the system's XKB data describes it.
  static std::optional<LayoutKeys> FromNames(const std::string& layout,
                                             const std::string& variant = "");

  // The key that types this symbol in the layout's first group, with the fewest modifiers;
  // nothing when the layout cannot type it.
  std::optional<LayoutKey> Find(std::uint32_t keysym) const;
  // Whether the key repeats while held (modifiers do not), where the desktop repeats keys.
  bool Repeats(std::uint32_t evdev) const;

 private:
  std::unordered_map<std::uint32_t, LayoutKey> keys_;
  std::unordered_set<std::uint32_t> repeating_;
};

}  // namespace kavo::platform::wayland
