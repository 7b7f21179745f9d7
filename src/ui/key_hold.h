#pragma once
// Keys a bar button keeps down for a pen (a latch or a toggle), and when they come up. At most
// one button holds keys at a time; whatever is held always comes up, in reverse order.

#include "bindings/key_strokes.h"
#include "platform/key_injection.h"
#include "platform/window_tracking.h"

namespace kavo {

class KeyHold {
 public:
  // The keys go through keys; a latch watches the pointer through windows.
  KeyHold(platform::KeyInjection& keys, platform::WindowTracking& windows)
      : keys_(keys), windows_(windows) {}
  ~KeyHold() { Release(); }
  KeyHold(const KeyHold&) = delete;
  KeyHold& operator=(const KeyHold&) = delete;

  // A click on a button whose binding holds keys: a second click of the holding button lets
  // them go; otherwise what another button holds comes up and this one's keys go down. Says
  // how the keys went; a button whose keys were refused holds nothing.
  platform::Injection Click(const void* button, const Binding& binding);
  // Lets go of whatever is held.
  void Release();

  // The button holding keys; null when none is.
  const void* Holder() const { return holder_; }

  // The user's pointer, while a latch holds: the press and release of one stroke outside the
  // bar's windows end the hold once the release comes.
  void PointerPressed(bool onBar);
  void PointerReleased();

 private:
  platform::KeyInjection& keys_;
  platform::WindowTracking& windows_;
  platform::HeldKeys held_;
  const void* holder_ = nullptr;
  HoldMode mode_ = HoldMode::Tap;
  bool strokeUnderway_ = false;
};

}  // namespace kavo
