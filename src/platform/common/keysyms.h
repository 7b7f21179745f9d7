#pragma once
// From Windows virtual-key codes and characters to keysyms, the key names that X11 and
// xkbcommon share: every backend that types through a keymap starts here.

#include <cstdint>

namespace kavo::platform {

constexpr std::uint32_t kNoSymbol = 0;

// The keysym a virtual-key code stands for (only its low 8 bits count); kNoSymbol for codes with
// no key on these desktops.
std::uint32_t VirtualKeyToKeysym(std::int32_t code);

// The keysym that types a UTF-16 character.
std::uint32_t CharacterToKeysym(char16_t character);

}  // namespace kavo::platform
