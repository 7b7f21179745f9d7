#include "base/unicode_props.h"

#include <algorithm>
#include <array>

namespace kavo {
namespace {

struct Range {
  char32_t first, last;
};

constexpr Range kNonSpacingMarks[] = {
#include "base/nonspacing_marks.inc"
};

}  // namespace

bool IsNonSpacingMark(char32_t cp) {
  if (cp < 0x0300) return false;
  const auto it = std::upper_bound(std::begin(kNonSpacingMarks), std::end(kNonSpacingMarks), cp,
                                   [](char32_t c, const Range& r) { return c < r.first; });
  return it != std::begin(kNonSpacingMarks) && cp <= std::prev(it)->last;
}

}  // namespace kavo
