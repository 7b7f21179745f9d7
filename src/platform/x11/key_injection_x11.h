#pragma once
// Keys on X11, through XTest directly rather than libxdo's key sequences: those add a key's own
// modifier mask when the key is itself a modifier (so Ctrl would be pressed twice), release
// Shift before the shifted key, and lock the keyboard group around every key. The bar must
// deliver the exact press and release order of a binding.

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "platform/key_injection.h"
#include "platform/x11/keymap_x11.h"

namespace kavo::platform::x11 {

class X11KeyInjection final : public KeyInjection {
 public:
  // refusal: why no key may be sent on this display; empty when keys may go.
  X11KeyInjection(Display* display, std::string refusal)
      : display_(display), refusal_(std::move(refusal)) {}
  // No key may stay down once the bar is gone: the server would keep it pressed.
  ~X11KeyInjection() override;
  X11KeyInjection(const X11KeyInjection&) = delete;
  X11KeyInjection& operator=(const X11KeyInjection&) = delete;

  Injection SendKeys(const std::vector<KeyStroke>& strokes) override;
  Injection PressKeys(const std::vector<KeyStroke>& keys, HeldKeys& held) override;
  Injection ReleaseKeys(const HeldKeys& held) override;

 private:
  // The keys of the strokes on the keyboard as it is now.
  std::vector<KeyPlan> PlanKeys(const std::vector<KeyStroke>& strokes);
  // Takes only the keyboard-map changes out of the queue, leaving the rest for the event source.
  void ApplyMappingChanges();

  Display* display_;
  std::string refusal_;
  Keymap keymap_{display_};
  // Every key PressKeys put down and ReleaseKeys has not let go yet.
  std::vector<std::uint32_t> down_;
};

}  // namespace kavo::platform::x11
