#pragma once
// Keys a bar button keeps down for a pen (a latch or a toggle), and when they come up. At most
// one button holds keys at a time; whatever is held always comes up, in reverse order.

#include "bindings/key_strokes.h"
#include "platform/input.h"

namespace kavo {

class KeyHold {
 public:
  explicit KeyHold(platform::InputBackend& input) : input_(input) {}
  ~KeyHold() { Release(); }
  KeyHold(const KeyHold&) = delete;
  KeyHold& operator=(const KeyHold&) = delete;

  // A click on a button whose binding holds keys: a second click of the holding button lets
  // them go; otherwise what another button holds comes up and this one's keys go down.
  void Click(const void* button, const Binding& binding);
  // Lets go of whatever is held.
  void Release();

  // The button holding keys; null when none is.
  const void* Holder() const { return holder_; }

  // The user's pointer, while a latch holds: the press and release of one stroke outside the
  // bar's windows end the hold once the release comes.
  void PointerPressed(bool onBar);
  void PointerReleased();

 private:
  platform::InputBackend& input_;
  platform::InputBackend::HeldKeys held_;
  const void* holder_ = nullptr;
  HoldMode mode_ = HoldMode::Tap;
  bool strokeUnderway_ = false;
};

}  // namespace kavo
