#pragma once
// Text services of the platform.

#include <string>
#include <string_view>

namespace kavo::platform {

// Upper-case folding with the platform's Unicode case mapping, for names compared without
// regard to letter case.
std::u16string UpperCase(std::u16string_view text);

}  // namespace kavo::platform
