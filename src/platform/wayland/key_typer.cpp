#include "platform/wayland/key_typer.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "platform/common/keysyms.h"

extern "C" {
#include "virtual-keyboard-client.h"
}

namespace kavo::platform::wayland {
namespace {

// Evdev keycodes 1 to 4 are the modifiers; typed keys follow.
struct Modifier {
  std::uint32_t keysym;
  const char* name;    // as the keymap's modifier_map names it
  std::uint32_t mask;  // its bit in the modifiers request
};
constexpr Modifier kModifiers[] = {
    {XKB_KEY_Shift_L, "Shift", 1u << 0},
    {XKB_KEY_Control_L, "Control", 1u << 2},
    {XKB_KEY_Alt_L, "Mod1", 1u << 3},
    {XKB_KEY_Super_L, "Mod4", 1u << 6},
};
constexpr std::uint32_t kFirstKey = 1 + std::size(kModifiers);
constexpr std::uint32_t kXkbOffset = 8;  // xkb keycodes are evdev's plus 8

std::string KeysymName(std::uint32_t keysym) {
  char name[64];
  xkb_keysym_get_name(keysym, name, sizeof name);
  return name;
}

const Modifier* ModifierFor(std::uint32_t keysym) {
  for (const Modifier& m : kModifiers) {
    if (m.keysym == keysym) return &m;
  }
  // The right-hand keys count as the left-hand ones.
  switch (keysym) {
    case XKB_KEY_Shift_R:
      return &kModifiers[0];
    case XKB_KEY_Control_R:
      return &kModifiers[1];
    case XKB_KEY_Alt_R:
      return &kModifiers[2];
    case XKB_KEY_Super_R:
      return &kModifiers[3];
    default:
      return nullptr;
  }
}

}  // namespace

KeyTyper::KeyTyper(wl_display* display, wl_seat* seat, zwp_virtual_keyboard_manager_v1* manager)
    : display_(display),
      keyboard_(zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, seat)) {
  // Every key a key name stands for and every printable ASCII character from the start: a
  // keymap that grows reaches the client after the keys sent right behind it, which are lost.
  const auto learn = [this](std::uint32_t keysym) {
    if (keysym != 0 && !ModifierFor(keysym) &&
        std::find(keysyms_.begin(), keysyms_.end(), keysym) == keysyms_.end()) {
      keysyms_.push_back(keysym);
    }
  };
  for (std::int32_t vk = 1; vk < 0xFF; ++vk) {
    learn(VirtualKeyToKeysym(vk));
  }
  for (char16_t c = 0x20; c < 0x7F; ++c) learn(CharacterToKeysym(c));
  SendKeymap();
  wl_display_flush(display_);
}

// The compositor makes a keyboard the seat's when it hears from it, and then hands its keymap to
// the window with the focus; a key event that does so is lost on the way. The modifiers' state
// does it without a key.
void KeyTyper::TakeSeat() {
  zwp_virtual_keyboard_v1_modifiers(keyboard_, modifiers_, 0, 0, 0);
}

KeyTyper::~KeyTyper() {
  if (!down_.empty()) Release(std::vector<std::uint32_t>(down_));
  zwp_virtual_keyboard_v1_destroy(keyboard_);
  wl_display_flush(display_);
}

std::uint32_t KeyTyper::Now() const {
  using namespace std::chrono;
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void KeyTyper::SendKeymap() {
  std::string keycodes, symbols;
  const auto add = [&](std::uint32_t evdev, std::uint32_t keysym) {
    const std::string code = std::to_string(evdev + kXkbOffset);
    keycodes += "  <K" + code + "> = " + code + ";\n";
    symbols += "  key <K" + code + "> { [ " + KeysymName(keysym) + " ] };\n";
  };
  for (std::size_t i = 0; i < std::size(kModifiers); ++i) {
    add(static_cast<std::uint32_t>(1 + i), kModifiers[i].keysym);
    symbols += std::string("  modifier_map ") + kModifiers[i].name + " { <K" +
               std::to_string(1 + i + kXkbOffset) + "> };\n";
  }
  for (std::size_t i = 0; i < keysyms_.size(); ++i) {
    add(static_cast<std::uint32_t>(kFirstKey + i), keysyms_[i]);
  }
  const std::string keymap =
      "xkb_keymap {\nxkb_keycodes \"kavo\" {\n  minimum = 8;\n"
      "  maximum = 255;\n" +
      keycodes +
      "};\nxkb_types \"kavo\" { include \"complete\" };\n"
      "xkb_compatibility \"kavo\" { include \"complete\" };\n"
      "xkb_symbols \"kavo\" {\n" +
      symbols + "};\n};\n";
  const int fd = memfd_create("kavo-keymap", MFD_CLOEXEC);
  if (fd < 0) return;
  const std::size_t size = keymap.size() + 1;  // the terminating zero included
  if (write(fd, keymap.c_str(), size) == static_cast<ssize_t>(size)) {
    zwp_virtual_keyboard_v1_keymap(keyboard_, XKB_KEYMAP_FORMAT_TEXT_V1, fd,
                                   static_cast<std::uint32_t>(size));
  }
  close(fd);
}

std::uint32_t KeyTyper::KeyFor(std::uint32_t keysym) {
  const auto it = std::find(keysyms_.begin(), keysyms_.end(), keysym);
  if (it != keysyms_.end()) return kFirstKey + static_cast<std::uint32_t>(it - keysyms_.begin());
  keysyms_.push_back(keysym);
  SendKeymap();
  return kFirstKey + static_cast<std::uint32_t>(keysyms_.size() - 1);
}

static std::uint32_t KeysymOf(const KeyStroke& stroke) {
  return static_cast<std::uint32_t>(stroke.kind == KeyStroke::Kind::VirtualKey
                                        ? VirtualKeyToKeysym(stroke.code)
                                        : CharacterToKeysym(static_cast<char16_t>(stroke.code)));
}

// Every key of the strokes joins the keymap before any goes down: a keymap sent between a
// modifier's press and the key it modifies would leave the client to guess their state.
void KeyTyper::Learn(const std::vector<KeyStroke>& strokes) {
  bool added = false;
  for (const KeyStroke& stroke : strokes) {
    const std::uint32_t keysym = KeysymOf(stroke);
    if (keysym == 0 || ModifierFor(keysym) ||
        std::find(keysyms_.begin(), keysyms_.end(), keysym) != keysyms_.end()) {
      continue;
    }
    keysyms_.push_back(keysym);
    added = true;
  }
  if (added) SendKeymap();
}

void KeyTyper::Key(std::uint32_t keycode, bool down) {
  zwp_virtual_keyboard_v1_key(
      keyboard_, Now(), keycode,
      down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
  const auto it = std::find(down_.begin(), down_.end(), keycode);
  if (down && it == down_.end()) down_.push_back(keycode);
  if (!down && it != down_.end()) down_.erase(it);
  if (keycode >= 1 && keycode < kFirstKey) {
    const std::uint32_t mask = kModifiers[keycode - 1].mask;
    modifiers_ = down ? modifiers_ | mask : modifiers_ & ~mask;
    zwp_virtual_keyboard_v1_modifiers(keyboard_, modifiers_, 0, 0, 0);
  }
}

Injection KeyTyper::Send(const std::vector<KeyStroke>& strokes) {
  Learn(strokes);
  TakeSeat();
  for (const KeyStroke& stroke : strokes) {
    const std::uint32_t keysym = KeysymOf(stroke);
    if (keysym == 0) continue;
    const Modifier* m = ModifierFor(keysym);
    Key(m ? static_cast<std::uint32_t>(1 + (m - kModifiers)) : KeyFor(keysym), !stroke.release);
  }
  wl_display_flush(display_);
  return Injection::Done();
}

Injection KeyTyper::Press(const std::vector<KeyStroke>& keys, std::vector<std::uint32_t>& down) {
  Learn(keys);
  TakeSeat();
  down.clear();
  for (const KeyStroke& key : keys) {
    const std::uint32_t keysym = KeysymOf(key);
    if (keysym == 0 || key.release) continue;
    const Modifier* m = ModifierFor(keysym);
    const std::uint32_t keycode =
        m ? static_cast<std::uint32_t>(1 + (m - kModifiers)) : KeyFor(keysym);
    Key(keycode, true);
    down.push_back(keycode);
  }
  wl_display_flush(display_);
  return Injection::Done();
}

void KeyTyper::Release(const std::vector<std::uint32_t>& keycodes) {
  TakeSeat();
  for (auto it = keycodes.rbegin(); it != keycodes.rend(); ++it) Key(*it, false);
  wl_display_flush(display_);
}

}  // namespace kavo::platform::wayland
