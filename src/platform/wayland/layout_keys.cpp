#include "platform/wayland/layout_keys.h"

#include <xkbcommon/xkbcommon.h>

#include <array>

namespace kavo::platform::wayland {
namespace {

constexpr std::uint32_t kXkbOffset = 8;  // xkb keycodes are evdev's plus 8

struct ContextDeleter {
  void operator()(xkb_context* context) const { xkb_context_unref(context); }
};
struct KeymapDeleter {
  void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
using Context = std::unique_ptr<xkb_context, ContextDeleter>;
using Keymap = std::unique_ptr<xkb_keymap, KeymapDeleter>;

// How plain a way to type a symbol the key is: a key of the keyboard's main block before the
// extra keys some keymaps give a symbol of its own (the euro sign's), then fewer modifiers.
int Weight(const LayoutKey& key) {
  constexpr std::uint32_t kFirstExtraKey = 0x100;
  return (key.evdev >= kFirstExtraKey ? 10 : 0) + (key.shift ? 1 : 0) + (key.altGr ? 2 : 0);
}

std::unordered_map<std::uint32_t, LayoutKey> KeysOf(xkb_keymap* keymap) {
  std::unordered_map<std::uint32_t, LayoutKey> keys;
  const xkb_mod_index_t shift = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT);
  const auto bit = [](xkb_mod_index_t index) -> xkb_mod_mask_t {
    return index == XKB_MOD_INVALID ? 0 : (1u << index);
  };
  // The third level's modifier (AltGr): Mod5 in the usual keymaps, and LevelThree where the
  // keymap names it.
  const xkb_mod_mask_t third = bit(xkb_keymap_mod_get_index(keymap, "LevelThree")) |
                               bit(xkb_keymap_mod_get_index(keymap, "Mod5"));
  const xkb_mod_mask_t known = bit(shift) | third;
  for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap);
       code <= xkb_keymap_max_keycode(keymap) && code >= kXkbOffset; ++code) {
    const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, code, 0);
    for (xkb_level_index_t level = 0; level < levels; ++level) {
      const xkb_keysym_t* syms = nullptr;
      if (xkb_keymap_key_get_syms_by_level(keymap, code, 0, level, &syms) != 1) continue;
      std::array<xkb_mod_mask_t, 8> masks{};
      const std::size_t count =
          xkb_keymap_key_get_mods_for_level(keymap, code, 0, level, masks.data(), masks.size());
      for (std::size_t i = 0; i < count; ++i) {
        // A level reached only through other modifiers (Control, NumLock) is not taken.
        if ((masks[i] & ~known) != 0) continue;
        const LayoutKey key{code - kXkbOffset, (masks[i] & bit(shift)) != 0,
                            (masks[i] & third) != 0};
        const auto found = keys.find(syms[0]);
        if (found == keys.end() || Weight(key) < Weight(found->second)) keys[syms[0]] = key;
        break;
      }
    }
  }
  return keys;
}

// The keys that repeat while held, where the desktop repeats keys at all.
std::unordered_set<std::uint32_t> RepeatingKeys(xkb_keymap* keymap) {
  std::unordered_set<std::uint32_t> keys;
  for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap);
       code <= xkb_keymap_max_keycode(keymap) && code >= kXkbOffset; ++code) {
    if (xkb_keymap_key_repeats(keymap, code)) keys.insert(code - kXkbOffset);
  }
  return keys;
}

}  // namespace

std::optional<LayoutKeys> LayoutKeys::FromKeymap(const std::string& text) {
  const Context context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
  if (!context) return std::nullopt;
  const Keymap keymap(xkb_keymap_new_from_string(
      context.get(), text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!keymap) return std::nullopt;
  LayoutKeys keys;
  keys.keys_ = KeysOf(keymap.get());
  keys.repeating_ = RepeatingKeys(keymap.get());
  return keys;
}

std::optional<LayoutKeys> LayoutKeys::FromNames(const std::string& layout,
                                                const std::string& variant) {
  const Context context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
  if (!context) return std::nullopt;
  const xkb_rule_names names{nullptr, nullptr, layout.c_str(), variant.c_str(), nullptr};
  const Keymap keymap(
      xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!keymap) return std::nullopt;
  LayoutKeys keys;
  keys.keys_ = KeysOf(keymap.get());
  keys.repeating_ = RepeatingKeys(keymap.get());
  return keys;
}

bool LayoutKeys::Repeats(std::uint32_t evdev) const {
  return repeating_.contains(evdev);
}

std::optional<LayoutKey> LayoutKeys::Find(std::uint32_t keysym) const {
  const auto found = keys_.find(keysym);
  if (found == keys_.end()) return std::nullopt;
  return found->second;
}

}  // namespace kavo::platform::wayland
