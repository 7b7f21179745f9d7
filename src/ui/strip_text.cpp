#include "ui/strip_text.h"

namespace kavo {

bool StripText::SetRefusal(std::u16string reason) {
  if (reason == refusal_) return false;
  refusal_ = std::move(reason);
  return true;
}

std::u16string StripText::Tip(std::u16string_view set) const {
  std::u16string tip = title_;
  if (!set.empty()) (tip += u" \u2014 ") += set;
  if (!refusal_.empty()) (tip += u'\n') += refusal_;
  return tip;
}

}  // namespace kavo
