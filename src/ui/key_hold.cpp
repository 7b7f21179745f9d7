#include "ui/key_hold.h"

namespace kavo {

void KeyHold::Click(const void* button, const Binding& binding) {
  const bool secondClick = holder_ == button;
  Release();
  if (secondClick || binding.keys.empty() || binding.mode == HoldMode::Tap) return;
  // Watching first: a stroke that starts the moment the keys are down still ends the latch.
  if (binding.mode == HoldMode::Latch) input_.WatchPointer(true);
  held_ = input_.PressKeys(binding.keys);
  holder_ = button;
  mode_ = binding.mode;
}

void KeyHold::Release() {
  if (!holder_) return;
  if (mode_ == HoldMode::Latch) input_.WatchPointer(false);
  input_.ReleaseKeys(held_);
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
