#include "platform/kde/fake_input_typist.h"

#include <linux/input-event-codes.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <string>

#include "platform/common/keysyms.h"

extern "C" {
#include "fake-input-client.h"
}

namespace kavo::platform::kde {
namespace {

std::uint32_t KeysymOf(const KeyStroke& stroke) {
  return static_cast<std::uint32_t>(stroke.kind == KeyStroke::Kind::VirtualKey
                                        ? VirtualKeyToKeysym(stroke.code)
                                        : CharacterToKeysym(static_cast<char16_t>(stroke.code)));
}

// The modifiers by their usual keys, for a layout that does not list them.
std::optional<std::uint32_t> ModifierKey(std::uint32_t keysym) {
  switch (keysym) {
    case XKB_KEY_Shift_L:
      return KEY_LEFTSHIFT;
    case XKB_KEY_Shift_R:
      return KEY_RIGHTSHIFT;
    case XKB_KEY_Control_L:
      return KEY_LEFTCTRL;
    case XKB_KEY_Control_R:
      return KEY_RIGHTCTRL;
    case XKB_KEY_Alt_L:
      return KEY_LEFTALT;
    case XKB_KEY_Alt_R:
      return KEY_RIGHTALT;
    case XKB_KEY_Super_L:
      return KEY_LEFTMETA;
    case XKB_KEY_Super_R:
      return KEY_RIGHTMETA;
    default:
      return std::nullopt;
  }
}

std::string Named(const KeyStroke& stroke, std::uint32_t keysym) {
  if (stroke.kind == KeyStroke::Kind::Character) {
    std::string utf8(8, '\0');
    const int n = xkb_keysym_to_utf8(keysym, utf8.data(), utf8.size());
    utf8.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
    if (!utf8.empty()) return "\u201C" + utf8 + "\u201D";
  }
  char name[64] = "?";
  xkb_keysym_get_name(keysym, name, sizeof name);
  return name;
}

}  // namespace

FakeInputTypist::FakeInputTypist(wl_display* display, org_kde_kwin_fake_input* input,
                                 std::function<const wayland::LayoutKeys*()> layout)
    : display_(display), input_(input), layout_(std::move(layout)) {}

FakeInputTypist::~FakeInputTypist() {
  if (!down_.empty()) Release(std::vector<std::uint32_t>(down_));
}

Injection FakeInputTypist::Plan(const std::vector<KeyStroke>& strokes,
                                std::vector<Keys>& keys) const {
  const wayland::LayoutKeys* layout = layout_();
  for (const KeyStroke& stroke : strokes) {
    Keys& typed = keys.emplace_back();
    const std::uint32_t keysym = KeysymOf(stroke);
    if (keysym == 0) continue;
    const std::optional<wayland::LayoutKey> key =
        layout ? layout->Find(keysym) : std::optional<wayland::LayoutKey>();
    if (key) {
      if (key->altGr) {
        const auto level3 = layout->Find(XKB_KEY_ISO_Level3_Shift);
        typed.evdev.push_back(level3 ? level3->evdev : KEY_RIGHTALT);
      }
      if (key->shift) typed.evdev.push_back(KEY_LEFTSHIFT);
      typed.evdev.push_back(key->evdev);
    } else if (const auto modifier = ModifierKey(keysym)) {
      typed.evdev.push_back(*modifier);
    } else {
      return Injection::Refused("The keyboard layout in use has no key for " +
                                Named(stroke, keysym) + ": nothing was typed.");
    }
  }
  return Injection::Done();
}

void FakeInputTypist::Key(std::uint32_t evdev, bool down) {
  org_kde_kwin_fake_input_keyboard_key(
      input_, evdev, down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
  const auto it = std::find(down_.begin(), down_.end(), evdev);
  if (down && it == down_.end()) down_.push_back(evdev);
  if (!down && it != down_.end()) down_.erase(it);
}

// A stroke's own modifiers (Shift for a capital, AltGr) go down with its press and up with its
// release, around the key.
Injection FakeInputTypist::Send(const std::vector<KeyStroke>& strokes) {
  std::vector<Keys> keys;
  if (Injection planned = Plan(strokes, keys); !planned.Ok()) return planned;
  for (std::size_t i = 0; i < strokes.size(); ++i) {
    const std::vector<std::uint32_t>& evdev = keys[i].evdev;
    if (!strokes[i].release) {
      for (const std::uint32_t key : evdev) Key(key, true);
    } else {
      for (auto key = evdev.rbegin(); key != evdev.rend(); ++key) Key(*key, false);
    }
  }
  wl_display_flush(display_);
  return Injection::Done();
}

Injection FakeInputTypist::Press(const std::vector<KeyStroke>& strokes,
                                 std::vector<std::uint32_t>& codes) {
  codes.clear();
  std::vector<Keys> keys;
  if (Injection planned = Plan(strokes, keys); !planned.Ok()) return planned;
  for (std::size_t i = 0; i < strokes.size(); ++i) {
    if (strokes[i].release) continue;
    for (const std::uint32_t key : keys[i].evdev) {
      Key(key, true);
      codes.push_back(key);
    }
  }
  wl_display_flush(display_);
  return Injection::Done();
}

bool FakeInputTypist::HoldsRepeatingKey() const {
  const wayland::LayoutKeys* layout = layout_();
  return std::any_of(down_.begin(), down_.end(),
                     [&](std::uint32_t key) { return !layout || layout->Repeats(key); });
}

void FakeInputTypist::Release(const std::vector<std::uint32_t>& codes) {
  for (auto key = codes.rbegin(); key != codes.rend(); ++key) Key(*key, false);
  wl_display_flush(display_);
}

}  // namespace kavo::platform::kde
