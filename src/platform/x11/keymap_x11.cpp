#include "platform/x11/keymap_x11.h"

#include <algorithm>

#include <X11/XKBlib.h>

namespace kavo::platform::x11 {

Keymap::Keymap(Display* display) : display_(display) {}

Keymap::~Keymap() {
  Restore();
}

KeyPlan Keymap::Plan(KeySym keysym, bool anyLevel) {
  KeyPlan plan;
  if (keysym == NoSymbol) return plan;
  if (anyLevel) {
    plan.keycode = XKeysymToKeycode(display_, keysym);
    if (plan.keycode != 0) return plan;
  } else {
    XkbStateRec state;
    XkbGetState(display_, XkbUseCoreKbd, &state);
    XkbDescPtr desc = XkbGetMap(display_, XkbAllClientInfoMask, XkbUseCoreKbd);
    if (desc) {
      // Search the active group, lowest level first, so plain keys beat shifted ones.
      unsigned bestMods = ~0u;
      for (int kc = desc->min_key_code; kc <= desc->max_key_code; ++kc) {
        const int groups = XkbKeyNumGroups(desc, kc);
        if (groups == 0) continue;
        const int group = state.group < groups ? state.group : 0;
        const XkbKeyTypePtr type = XkbKeyKeyType(desc, kc, group);
        for (int level = 0; level < type->num_levels; ++level) {
          if (XkbKeycodeToKeysym(display_, static_cast<KeyCode>(kc), group, level) != keysym) {
            continue;
          }
          unsigned mods = level == 0 ? 0 : ~0u;
          for (int m = 0; m < type->map_count && mods == ~0u; ++m) {
            if (type->map[m].active && type->map[m].level == level) mods = type->map[m].mods.mask;
          }
          if (mods < bestMods) {
            bestMods = mods;
            plan.keycode = static_cast<KeyCode>(kc);
          }
        }
      }
      XkbFreeClientMap(desc, 0, True);
      if (plan.keycode != 0) {
        for (unsigned bit = ShiftMask; bit <= Mod5Mask; bit <<= 1) {
          if (bestMods & bit) {
            if (const KeyCode mod = ModifierKey(bit)) plan.modifiers.push_back(mod);
          }
        }
        return plan;
      }
    }
  }
  // The keyboard lacks the keysym: lend it a spare keycode, taken back from the oldest binding
  // of a key that is not held down.
  if (bound_.size() >= kMaxBound) {
    const auto oldest = std::find_if(bound_.begin(), bound_.end(), [this](KeyCode kc) {
      return std::find(pinned_.begin(), pinned_.end(), kc) == pinned_.end();
    });
    if (oldest != bound_.end()) {
      KeySym none[2] = {NoSymbol, NoSymbol};
      XChangeKeyboardMapping(display_, *oldest, 2, none, 1);
      bound_.erase(oldest);
    }
  }
  if (const KeyCode spare = SpareKeycode()) {
    KeySym syms[2] = {keysym, keysym};
    XChangeKeyboardMapping(display_, spare, 2, syms, 1);
    XSync(display_, False);
    bound_.push_back(spare);
    plan.keycode = spare;
  }
  return plan;
}

void Keymap::Restore() {
  if (bound_.empty()) return;
  XSync(display_, False);
  for (const KeyCode kc : bound_) {
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(display_, kc, 2, none, 1);
  }
  bound_.clear();
  XSync(display_, False);
}

void Keymap::Pin(KeyCode keycode) {
  pinned_.push_back(keycode);
}

void Keymap::Unpin(KeyCode keycode) {
  if (const auto it = std::find(pinned_.begin(), pinned_.end(), keycode); it != pinned_.end()) {
    pinned_.erase(it);
  }
}

KeyCode Keymap::SpareKeycode() {
  int low = 0, high = 0;
  XDisplayKeycodes(display_, &low, &high);
  int perKeycode = 0;
  KeySym* syms =
      XGetKeyboardMapping(display_, static_cast<KeyCode>(low), high - low + 1, &perKeycode);
  KeyCode spare = 0;
  // Highest first: the top of the range is the least likely to be a real key.
  for (int kc = high; kc >= low && spare == 0; --kc) {
    bool empty = true;
    for (int j = 0; j < perKeycode && empty; ++j)
      empty = syms[(kc - low) * perKeycode + j] == NoSymbol;
    bool taken = false;
    for (const KeyCode used : bound_) taken = taken || used == kc;
    if (empty && !taken) spare = static_cast<KeyCode>(kc);
  }
  XFree(syms);
  return spare;
}

KeyCode Keymap::ModifierKey(unsigned mask) {
  XModifierKeymap* map = XGetModifierMapping(display_);
  KeyCode key = 0;
  int index = 0;
  while ((1u << index) != mask) ++index;
  for (int k = 0; k < map->max_keypermod && key == 0; ++k) {
    key = map->modifiermap[index * map->max_keypermod + k];
  }
  XFreeModifiermap(map);
  return key;
}

}  // namespace kavo::platform::x11
