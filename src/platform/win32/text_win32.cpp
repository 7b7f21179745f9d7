#include <windows.h>

#include "platform/text.h"
#include "platform/win32/wide.h"

namespace kavo::platform {

std::u16string UpperCase(std::u16string_view text) {
  std::wstring wide = win32::Wide(text);
  if (!wide.empty()) CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return win32::Narrow(wide);
}

}  // namespace kavo::platform
