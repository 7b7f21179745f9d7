// The desktop backend for Windows: the foreground window, its title, and key strokes through
// SendInput, all of a binding in one call so that no other input comes between its keys. The
// bar's own window is the toolkit's business.

#include <windows.h>

#include <cstdint>

#include "platform/win32/wide.h"
#include "platform/win32/win32_desktop.h"

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

// SendInput inserts fewer events than it was given when something stops them; sent says how
// many went.
Injection Send(std::vector<INPUT>& inputs, std::size_t* sent = nullptr) {
  const UINT n = inputs.empty()
                     ? 0
                     : SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent) *sent = n;
  if (n == inputs.size()) return Injection::Done();
  return Injection::Refused(
      "Windows did not take the keys: another program is blocking input, or the target runs with "
      "more rights than the bar.");
}

class Win32Desktop final : public Desktop, WindowTracking, KeyInjection {
 public:
  WindowTracking& Tracking() override { return *this; }
  KeyInjection& Keys() override { return *this; }
  WindowShell& Shell() override { return shell_; }
  EventSource* Events() override { return nullptr; }
  std::string Problem() const override { return ""; }

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

  std::u16string WindowProgram(WindowHandle window) override {
    DWORD pid = 0;
    if (window == 0 || !GetWindowThreadProcessId(ToHwnd(window), &pid)) return u"";
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return u"";
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    const bool found = QueryFullProcessImageNameW(process, 0, path.data(), &size);
    CloseHandle(process);
    if (!found) return u"";
    path.resize(size);
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    if (const auto dot = name.find_last_of(L'.'); dot != std::wstring::npos && dot > 0) {
      name.resize(dot);
    }
    return win32::Narrow(name);
  }

  void BringWindowToTop(WindowHandle window) override {
    const HWND hwnd = ToHwnd(window);
    if (window == 0 || !IsWindow(hwnd)) return;
    ::BringWindowToTop(hwnd);
    if (GetForegroundWindow() != hwnd) SetForegroundWindow(hwnd);
  }

  Injection SendKeys(const std::vector<KeyStroke>& strokes) override {
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
    return Send(inputs);
  }

  Injection PressKeys(const std::vector<KeyStroke>& keys, HeldKeys& held) override {
    held = {};
    std::vector<INPUT> inputs;
    const auto press = [&](WORD vk) {
      inputs.push_back(Key(vk, false));
      held.codes.push_back(vk);
    };
    for (const KeyStroke& stroke : keys) {
      if (stroke.kind == KeyStroke::Kind::VirtualKey) {
        press(static_cast<WORD>(stroke.code & 0xFF));
        continue;
      }
      const auto c = static_cast<wchar_t>(stroke.code);
      const CharacterKeys found = KeysFor(c);
      if (!found.found) {
        inputs.push_back(UnicodeKey(c, false));
        held.codes.push_back(kUnicodeMark | c);
        continue;
      }
      for (const WORD m : found.modifiers) press(m);
      press(found.vk);
    }
    std::size_t sent = 0;
    const Injection result = Send(inputs, &sent);
    held.codes.resize(sent);  // one input a code: what went down is what must come up
    return result;
  }

  Injection ReleaseKeys(const HeldKeys& held) override {
    std::vector<INPUT> inputs;
    for (auto code = held.codes.rbegin(); code != held.codes.rend(); ++code) {
      inputs.push_back((*code & kUnicodeMark)
                           ? UnicodeKey(static_cast<wchar_t>(*code & 0xFFFF), true)
                           : Key(static_cast<WORD>(*code), true));
    }
    return Send(inputs);
  }

  void SetListener(Listener* listener) override { listener_ = listener; }
  // Tracking follows the window in front when the bar asks (on a click, on the timer).
  void WatchActivity(bool) override {}
  void WatchWindow(WindowHandle) override {}

  // A low-level mouse hook sees every button without taking it; it runs on this thread while
  // the event loop fetches messages.
  void WatchPointer(bool on) override {
    if (on && !hook_) {
      watching_ = this;
      hook_ =
          SetWindowsHookExW(WH_MOUSE_LL, &Win32Desktop::MouseHook, GetModuleHandleW(nullptr), 0);
    } else if (!on && hook_) {
      UnhookWindowsHookEx(hook_);
      hook_ = nullptr;
      watching_ = nullptr;
    }
  }

  ~Win32Desktop() override { WatchPointer(false); }

 private:
  // Marks a held code that went down as a character rather than a virtual key.
  static constexpr std::uint32_t kUnicodeMark = 0x10000;

  static LRESULT CALLBACK MouseHook(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && watching_ && watching_->listener_) {
      const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
      switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN: {
          const HWND under = GetAncestor(WindowFromPoint(info->pt), GA_ROOT);
          watching_->listener_->PointerPressed(reinterpret_cast<WindowHandle>(under));
          break;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_XBUTTONUP:
          watching_->listener_->PointerReleased();
          break;
        default:
          break;
      }
    }
    return CallNextHookEx(nullptr, code, message, data);
  }

  static inline Win32Desktop* watching_ = nullptr;
  HHOOK hook_ = nullptr;
  Listener* listener_ = nullptr;
  // Fully transparent pixels of a layered window let presses through by themselves.
  ToolkitShell shell_{false};
};

}  // namespace

namespace win32 {

std::unique_ptr<Desktop> MakeWin32Desktop() {
  return std::make_unique<Win32Desktop>();
}

}  // namespace win32

}  // namespace kavo::platform
