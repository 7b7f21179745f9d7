#pragma once

namespace kavo {

// True for characters of Unicode general category Mn (non-spacing combining marks).
bool IsNonSpacingMark(char32_t cp);

}  // namespace kavo
