#include "platform/x11/keymap_x11.h"

#include <algorithm>

#include <X11/XF86keysym.h>
#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace kavo::platform::x11 {

KeySym VirtualKeyToKeysym(std::int32_t code) {
  const unsigned vk = static_cast<unsigned>(code) & 0xFF;
  if (vk >= 'A' && vk <= 'Z') return XK_a + (vk - 'A');  // the letter key itself, unshifted
  if (vk >= '0' && vk <= '9') return XK_0 + (vk - '0');
  if (vk >= 0x60 && vk <= 0x69) return XK_KP_0 + (vk - 0x60);
  if (vk >= 0x70 && vk <= 0x87) return XK_F1 + (vk - 0x70);
  switch (vk) {
    case 0x08:
      return XK_BackSpace;
    case 0x09:
      return XK_Tab;
    case 0x0C:
      return XK_Clear;
    case 0x0D:
      return XK_Return;
    case 0x10:
      return XK_Shift_L;
    case 0x11:
      return XK_Control_L;
    case 0x12:
      return XK_Alt_L;
    case 0x13:
      return XK_Pause;
    case 0x14:
      return XK_Caps_Lock;
    case 0x1B:
      return XK_Escape;
    case 0x20:
      return XK_space;
    case 0x21:
      return XK_Prior;
    case 0x22:
      return XK_Next;
    case 0x23:
      return XK_End;
    case 0x24:
      return XK_Home;
    case 0x25:
      return XK_Left;
    case 0x26:
      return XK_Up;
    case 0x27:
      return XK_Right;
    case 0x28:
      return XK_Down;
    case 0x29:
      return XK_Select;
    case 0x2A:
      return XK_Print;
    case 0x2B:
      return XK_Execute;
    case 0x2C:
      return XK_Print;
    case 0x2D:
      return XK_Insert;
    case 0x2E:
      return XK_Delete;
    case 0x2F:
      return XK_Help;
    case 0x5B:
      return XK_Super_L;
    case 0x5C:
      return XK_Super_R;
    case 0x5D:
      return XK_Menu;
    case 0x6A:
      return XK_KP_Multiply;
    case 0x6B:
      return XK_KP_Add;
    case 0x6C:
      return XK_KP_Separator;
    case 0x6D:
      return XK_KP_Subtract;
    case 0x6E:
      return XK_KP_Decimal;
    case 0x6F:
      return XK_KP_Divide;
    case 0x90:
      return XK_Num_Lock;
    case 0x91:
      return XK_Scroll_Lock;
    case 0xA0:
      return XK_Shift_L;
    case 0xA1:
      return XK_Shift_R;
    case 0xA2:
      return XK_Control_L;
    case 0xA3:
      return XK_Control_R;
    case 0xA4:
      return XK_Alt_L;
    case 0xA5:
      return XK_Alt_R;
    case 0xAD:
      return XF86XK_AudioMute;
    case 0xAE:
      return XF86XK_AudioLowerVolume;
    case 0xAF:
      return XF86XK_AudioRaiseVolume;
    case 0xB0:
      return XF86XK_AudioNext;
    case 0xB1:
      return XF86XK_AudioPrev;
    case 0xB3:
      return XF86XK_AudioPlay;
    // The punctuation keys, as on a US keyboard.
    case 0xBA:
      return XK_semicolon;
    case 0xBB:
      return XK_equal;
    case 0xBC:
      return XK_comma;
    case 0xBD:
      return XK_minus;
    case 0xBE:
      return XK_period;
    case 0xBF:
      return XK_slash;
    case 0xC0:
      return XK_grave;
    case 0xDB:
      return XK_bracketleft;
    case 0xDC:
      return XK_backslash;
    case 0xDD:
      return XK_bracketright;
    case 0xDE:
      return XK_apostrophe;
    default:
      return NoSymbol;
  }
}

KeySym CharacterToKeysym(char16_t c) {
  if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF)) return c;  // Latin-1 keysyms
  if (c == u'\r' || c == u'\n') return XK_Return;
  if (c == u'\t') return XK_Tab;
  return 0x01000000 | c;  // the Unicode keysym
}

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
