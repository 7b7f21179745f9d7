#pragma once
// Key strokes through KDE Plasma's fake input, which types evdev keys through the session's own
// keyboard layout: each key name, character and modifier goes as the key (and Shift or AltGr)
// that produces it in the layout in use, so Ctrl+Z is the key marked Z on a German keyboard
// too. A character the layout has no key for is refused, never typed as another.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/wayland/layout_keys.h"
#include "platform/wayland/window_source.h"

struct wl_display;
struct org_kde_kwin_fake_input;

namespace kavo::platform::kde {

class FakeInputTypist final : public wayland::Typist {
 public:
  // input is authenticated already; layout gives the keys of the layout in use.
  FakeInputTypist(wl_display* display, org_kde_kwin_fake_input* input,
                  std::function<const wayland::LayoutKeys*()> layout);
  ~FakeInputTypist() override;
  FakeInputTypist(const FakeInputTypist&) = delete;
  FakeInputTypist& operator=(const FakeInputTypist&) = delete;

  Injection Send(const std::vector<KeyStroke>& strokes) override;
  Injection Press(const std::vector<KeyStroke>& keys, std::vector<std::uint32_t>& codes) override;
  void Release(const std::vector<std::uint32_t>& codes) override;

  // Whether a key that the layout repeats is down now.
  bool HoldsRepeatingKey() const;

 private:
  // The keys that type each stroke, modifiers first; nothing (and why) when one has none.
  struct Keys {
    std::vector<std::uint32_t> evdev;
  };
  Injection Plan(const std::vector<KeyStroke>& strokes, std::vector<Keys>& keys) const;
  void Key(std::uint32_t evdev, bool down);

  wl_display* display_;
  org_kde_kwin_fake_input* input_;
  std::function<const wayland::LayoutKeys*()> layout_;
  std::vector<std::uint32_t> down_;  // keys down now, in the order they went down
};

}  // namespace kavo::platform::kde
