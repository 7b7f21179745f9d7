#pragma once
// What the title strip says, without a screen: the target's title, or, while keys it was sent
// were refused, why; its tooltip has both and names the program's set in use.

#include <string>
#include <string_view>

namespace kavo {

class StripText {
 public:
  // A new target (or none): its title, and no refusal any more.
  void SetTitle(std::u16string title) {
    title_ = std::move(title);
    refusal_.clear();
  }
  // How the last keys went: empty when they went. False when nothing changed.
  bool SetRefusal(std::u16string reason);

  // The strip's text, before it is cut to the strip's width.
  const std::u16string& Shown() const { return refusal_.empty() ? title_ : refusal_; }
  // The tooltip, set naming the program's set file in use (empty for none).
  std::u16string Tip(std::u16string_view set) const;

 private:
  std::u16string title_;
  std::u16string refusal_;
};

}  // namespace kavo
