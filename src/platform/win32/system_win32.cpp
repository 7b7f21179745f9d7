#include <windows.h>

#include <cstdint>

#include "platform/system.h"
#include "platform/win32/wide.h"

namespace kavo::platform {

std::u16string ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return win32::Narrow(path);
    }
    path.resize(path.size() * 2);
  }
}

bool HasDesktopSession() {
  return true;
}

bool HasSessionRuntimeFolder() {
  return true;  // the user's own application data
}

unsigned long UserId() {
  return 0;  // named pipes and the lock live in the user's own namespace already
}

std::u16string FolderOf(std::u16string_view path) {
  const auto slash = path.find_last_of(u"\\/");
  return slash == std::u16string_view::npos ? u".\\" : std::u16string(path.substr(0, slash + 1));
}

std::u16string SystemDefaultLocaleName() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};  // 85, the terminating zero included
  GetSystemDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
  return win32::Narrow(name);
}

// The toolkit turns the end of the session into the window's close.
int CloseRequestDescriptor() {
  return -1;
}
void AcknowledgeCloseRequest() {}
void ListenForCloseRequests() {}

void EndWithin(std::chrono::milliseconds delay) {
  // A thread of its own, as nothing else may wait that long.
  CreateThread(
      nullptr, 0,
      [](void* ms) -> DWORD {
        Sleep(static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(ms)));
        ExitProcess(1);
      },
      reinterpret_cast<void*>(static_cast<std::uintptr_t>(delay.count())), 0, nullptr);
}

}  // namespace kavo::platform
