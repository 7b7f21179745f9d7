// The input backend for Windows: the foreground window, its title, and key strokes through
// SendInput, all of a binding in one call so that no other input comes between its keys.

#include <windows.h>

#include "platform/input.h"
#include "platform/win32/wide.h"

namespace kavo::platform {
namespace {

HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

INPUT Key(WORD vk, bool release) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT UnicodeKey(wchar_t c, bool release) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wScan = c;
  input.ki.dwFlags = KEYEVENTF_UNICODE | (release ? KEYEVENTF_KEYUP : 0);
  return input;
}

// The keys that type a character on the active layout: its key and the modifiers it needs.
struct CharacterKeys {
  WORD vk = 0;
  std::vector<WORD> modifiers;
  bool found = false;
};

CharacterKeys KeysFor(wchar_t c) {
  CharacterKeys keys;
  const SHORT scan = VkKeyScanW(c);
  if (scan == -1) return keys;
  keys.vk = LOBYTE(scan);
  const BYTE shift = HIBYTE(scan);
  if (shift & 1) keys.modifiers.push_back(VK_SHIFT);
  if (shift & 2) keys.modifiers.push_back(VK_CONTROL);
  if (shift & 4) keys.modifiers.push_back(VK_MENU);
  keys.found = true;
  return keys;
}

class Win32InputBackend final : public InputBackend {
 public:
  bool CanType() const override { return true; }

  WindowHandle ForegroundWindow() override {
    return reinterpret_cast<WindowHandle>(GetForegroundWindow());
  }

  std::u16string WindowTitle(WindowHandle window) override {
    wchar_t buffer[260] = {};
    const int n = GetWindowTextW(ToHwnd(window), buffer, 260);
    return n > 0 ? win32::Narrow(std::wstring_view(buffer, static_cast<std::size_t>(n))) : u"";
  }

  std::int64_t WindowProcess(WindowHandle window) override {
    DWORD pid = 0;
    if (window != 0) GetWindowThreadProcessId(ToHwnd(window), &pid);
    return pid;
  }

  void BringWindowToTop(WindowHandle window) override {
    const HWND hwnd = ToHwnd(window);
    if (window == 0 || !IsWindow(hwnd)) return;
    ::BringWindowToTop(hwnd);
    if (GetForegroundWindow() != hwnd) SetForegroundWindow(hwnd);
  }

  void SendKeys(const std::vector<KeyStroke>& strokes) override {
    std::vector<INPUT> inputs;
    for (const KeyStroke& stroke : strokes) {
      if (stroke.kind == KeyStroke::Kind::VirtualKey) {
        inputs.push_back(Key(static_cast<WORD>(stroke.code & 0xFF), stroke.release));
        continue;
      }
      const auto c = static_cast<wchar_t>(stroke.code);
      const CharacterKeys keys = KeysFor(c);
      if (!keys.found) {  // no key on this layout types it: send the character itself
        inputs.push_back(UnicodeKey(c, stroke.release));
      } else if (!stroke.release) {
        for (const WORD m : keys.modifiers) inputs.push_back(Key(m, false));
        inputs.push_back(Key(keys.vk, false));
      } else {
        inputs.push_back(Key(keys.vk, true));
        for (auto m = keys.modifiers.rbegin(); m != keys.modifiers.rend(); ++m) {
          inputs.push_back(Key(*m, true));
        }
      }
    }
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  }

  // Fully transparent pixels of a layered window let presses through by themselves.
  void SetInputShape(WindowHandle, const std::vector<Rect>&) override {}
};

}  // namespace

std::unique_ptr<InputBackend> MakeInputBackend(std::string_view) {
  return std::make_unique<Win32InputBackend>();
}

}  // namespace kavo::platform
