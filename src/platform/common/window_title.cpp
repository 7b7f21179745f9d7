#include "platform/common/window_title.h"

namespace kavo::platform {
namespace {
constexpr std::size_t kTitleUnits = 259;
}

std::u16string BarTitle(std::u16string title) {
  if (const auto nul = title.find(u'\0'); nul != std::u16string::npos) title.resize(nul);
  if (title.size() > kTitleUnits) title.resize(kTitleUnits);
  return title;
}

}  // namespace kavo::platform
