#pragma once
// Synthesised key strokes into whatever window has the keyboard focus. Each call says whether
// the keys went, and when they did not, why, in words the bar can show the user.

#include <cstdint>
#include <string>
#include <vector>

namespace kavo::platform {

// One key going down or up: a Windows virtual-key code (only its low 8 bits count), or a
// character to be typed with whatever key and level produce it on the active layout.
struct KeyStroke {
  enum class Kind { VirtualKey, Character };
  Kind kind = Kind::VirtualKey;
  std::int32_t code = 0;
  bool release = false;

  bool operator==(const KeyStroke&) const = default;
};

// Keys that PressKeys put down, as the desktop pressed them (X keycodes, evdev numbers, virtual
// keys), modifiers a key needed included, in the order they went down.
struct HeldKeys {
  std::vector<std::uint32_t> codes;
  bool empty() const { return codes.empty(); }
};

// How a typing call went: the keys went, or they did not and why.
struct Injection {
  // Empty when the keys went; otherwise what stopped them, in a sentence.
  std::string reason;

  static Injection Done() { return {}; }
  static Injection Refused(std::string why) { return {std::move(why)}; }
  bool Ok() const { return reason.empty(); }
};

class KeyInjection {
 public:
  virtual ~KeyInjection() = default;

  // Sends the strokes, in order.
  virtual Injection SendKeys(const std::vector<KeyStroke>& strokes) = 0;
  // Presses the keys (their press strokes), in order, and keeps them down; held says which.
  virtual Injection PressKeys(const std::vector<KeyStroke>& keys, HeldKeys& held) = 0;
  // Lets go of held keys in reverse order, with the very codes that went down, whatever
  // happened to the keyboard's layout in between.
  virtual Injection ReleaseKeys(const HeldKeys& held) = 0;
};

}  // namespace kavo::platform
