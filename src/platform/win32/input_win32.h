#pragma once
// The input backend for Windows.

#include <memory>

#include "platform/input.h"

namespace kavo::platform::win32 {

std::unique_ptr<InputBackend> MakeWin32InputBackend();

}  // namespace kavo::platform::win32
