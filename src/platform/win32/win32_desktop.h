#pragma once
// The desktop backend for Windows.

#include <memory>

#include "platform/desktop.h"

namespace kavo::platform::win32 {

std::unique_ptr<Desktop> MakeWin32Desktop();

}  // namespace kavo::platform::win32
