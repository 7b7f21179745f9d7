#include "platform/x11/key_injection_x11.h"

#include <X11/extensions/XTest.h>

#include <algorithm>

#include "platform/common/keysyms.h"

namespace kavo::platform::x11 {

X11KeyInjection::~X11KeyInjection() {
  ReleaseKeys(HeldKeys{down_});
  keymap_.Restore();
}

Injection X11KeyInjection::SendKeys(const std::vector<KeyStroke>& strokes) {
  if (!refusal_.empty()) return Injection::Refused(refusal_);
  if (strokes.empty()) return Injection::Done();
  // Plan every key before the first event, so that a binding is sent whole or not at all.
  const std::vector<KeyPlan> plans = PlanKeys(strokes);
  for (std::size_t i = 0; i < strokes.size(); ++i) {
    const KeyPlan& plan = plans[i];
    if (plan.keycode == 0) continue;
    if (!strokes[i].release) {
      for (const KeyCode mod : plan.modifiers) XTestFakeKeyEvent(display_, mod, True, CurrentTime);
      XTestFakeKeyEvent(display_, plan.keycode, True, CurrentTime);
    } else {
      XTestFakeKeyEvent(display_, plan.keycode, False, CurrentTime);
      for (auto mod = plan.modifiers.rbegin(); mod != plan.modifiers.rend(); ++mod) {
        XTestFakeKeyEvent(display_, *mod, False, CurrentTime);
      }
    }
  }
  XSync(display_, False);
  return Injection::Done();
}

Injection X11KeyInjection::PressKeys(const std::vector<KeyStroke>& keys, HeldKeys& held) {
  held = {};
  if (!refusal_.empty()) return Injection::Refused(refusal_);
  if (keys.empty()) return Injection::Done();
  const std::vector<KeyPlan> plans = PlanKeys(keys);
  for (const KeyPlan& plan : plans) {
    if (plan.keycode == 0) continue;
    for (const KeyCode mod : plan.modifiers) {
      XTestFakeKeyEvent(display_, mod, True, CurrentTime);
      held.codes.push_back(mod);
    }
    XTestFakeKeyEvent(display_, plan.keycode, True, CurrentTime);
    keymap_.Pin(plan.keycode);
    held.codes.push_back(plan.keycode);
  }
  XSync(display_, False);
  down_.insert(down_.end(), held.codes.begin(), held.codes.end());
  return Injection::Done();
}

Injection X11KeyInjection::ReleaseKeys(const HeldKeys& held) {
  if (!refusal_.empty() || held.empty()) return Injection::Done();
  for (auto code = held.codes.rbegin(); code != held.codes.rend(); ++code) {
    XTestFakeKeyEvent(display_, static_cast<KeyCode>(*code), False, CurrentTime);
    keymap_.Unpin(static_cast<KeyCode>(*code));
    if (const auto it = std::find(down_.begin(), down_.end(), *code); it != down_.end()) {
      down_.erase(it);
    }
  }
  XSync(display_, False);
  return Injection::Done();
}

// A layout switch arrives as MappingNotify, which only reading the events applies; the other
// news waits for the event loop, so that no handler runs in the middle of a click.
std::vector<KeyPlan> X11KeyInjection::PlanKeys(const std::vector<KeyStroke>& strokes) {
  ApplyMappingChanges();
  std::vector<KeyPlan> plans;
  plans.reserve(strokes.size());
  for (const KeyStroke& stroke : strokes) {
    const bool virtualKey = stroke.kind == KeyStroke::Kind::VirtualKey;
    const KeySym keysym = virtualKey ? VirtualKeyToKeysym(stroke.code)
                                     : CharacterToKeysym(static_cast<char16_t>(stroke.code));
    plans.push_back(keymap_.Plan(keysym, virtualKey));
  }
  return plans;
}

void X11KeyInjection::ApplyMappingChanges() {
  XEventsQueued(display_, QueuedAfterReading);
  XEvent event;
  while (XCheckTypedEvent(display_, MappingNotify, &event)) {
    XRefreshKeyboardMapping(&event.xmapping);
  }
}

}  // namespace kavo::platform::x11
