#include "ui/key_hold.h"

namespace kavo {

platform::Injection KeyHold::Click(const void* button, const Binding& binding) {
  const bool secondClick = holder_ == button;
  Release();
  if (secondClick || binding.keys.empty() || binding.mode == HoldMode::Tap) {
    return platform::Injection::Done();
  }
  // Watching first: a stroke that starts the moment the keys are down still ends the latch.
  if (binding.mode == HoldMode::Latch) windows_.WatchPointer(true);
  platform::Injection pressed = keys_.PressKeys(binding.keys, held_);
  holder_ = button;
  mode_ = binding.mode;
  if (!pressed.Ok() && held_.empty()) Release();
  return pressed;
}

void KeyHold::Release() {
  if (!holder_) return;
  if (mode_ == HoldMode::Latch) windows_.WatchPointer(false);
  if (!held_.empty()) keys_.ReleaseKeys(held_);
  held_ = {};
  holder_ = nullptr;
  strokeUnderway_ = false;
}

void KeyHold::PointerPressed(bool onBar) {
  if (holder_ && mode_ == HoldMode::Latch && !onBar) strokeUnderway_ = true;
}

void KeyHold::PointerReleased() {
  if (strokeUnderway_) Release();
}

}  // namespace kavo
