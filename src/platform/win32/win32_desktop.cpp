// The desktop backend for Windows: the foreground window, its title, and key strokes through
// SendInput, all of a binding in one call so that no other input comes between its keys. The
// bar's own window is the toolkit's business.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/wide.h"
#include "platform/win32/win32_desktop.h"

namespace kavo::platform {
namespace {

// How long an activation may take before the keys go anyway, as on X11.
constexpr ULONGLONG kActivationWaitMs = 250;

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

// A process's integrity level (its rights, as Windows ranks them); nullopt when its token cannot
// be read, which for a process that could be opened means one of higher rights.
std::optional<DWORD> IntegrityOf(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  std::optional<DWORD> level;
  if (size && GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) {
    const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
    const DWORD count = *GetSidSubAuthorityCount(label->Label.Sid);
    level = *GetSidSubAuthority(label->Label.Sid, count - 1);
  }
  CloseHandle(token);
  return level;
}

// Windows drops keys sent to a program with more rights than the sender (an administrator's
// program, for a bar that is not), and says nothing: the bar finds out before sending.
std::optional<std::string> HigherRightsInFront() {
  DWORD pid = 0;
  const HWND front = GetForegroundWindow();
  if (!front || !GetWindowThreadProcessId(front, &pid) || pid == GetCurrentProcessId()) {
    return std::nullopt;
  }
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return std::nullopt;
  const std::optional<DWORD> theirs = IntegrityOf(process);
  const DWORD error = GetLastError();
  CloseHandle(process);
  const std::optional<DWORD> ours = IntegrityOf(GetCurrentProcess());
  if (theirs ? (ours && *theirs <= *ours) : error != ERROR_ACCESS_DENIED) return std::nullopt;
  return "The program in front runs as administrator: Windows lets only a bar started as "
         "administrator type into it.";
}

// SendInput inserts fewer events than it was given when something stops them; sent says how
// many went. Releases are always sent: a key that went down must come up wherever it can.
enum class Releasing { No, Yes };
Injection Send(std::vector<INPUT>& inputs, std::size_t* sent = nullptr,
               Releasing releasing = Releasing::No) {
  if (sent) *sent = 0;
  if (inputs.empty()) return Injection::Done();
  if (releasing == Releasing::No) {
    if (const auto refused = HigherRightsInFront()) return Injection::Refused(*refused);
  }
  const UINT n = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent) *sent = n;
  if (n == inputs.size()) return Injection::Done();
  return Injection::Refused(
      "Windows did not take the keys: another program is blocking input, or the target runs with "
      "more rights than the bar.");
}

// The bar's own window: Qt gives a frameless window no task-bar button of its own (nor, under
// Wine, a place among the window manager's windows, so nothing could close it from there).
class Win32WindowShell final : public ToolkitShell {
 public:
  Win32WindowShell() : ToolkitShell(false) {}
  // A window that is never activated, not even by a click on it, yet has its task-bar button.
  void TakeAsMainWindow(WindowHandle window) override {
    const HWND hwnd = ToHwnd(window);
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE,
                      (style & ~WS_EX_TOOLWINDOW) | WS_EX_APPWINDOW | WS_EX_NOACTIVATE);
  }
};

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

  // The shell's desktop (Program Manager and the window behind its icons) and its task bars.
  bool IsDesktopShell(WindowHandle window) override {
    const HWND hwnd = ToHwnd(window);
    if (hwnd == nullptr) return false;
    if (hwnd == GetShellWindow() || hwnd == GetDesktopWindow()) return true;
    wchar_t name[64] = {};
    const int n = GetClassNameW(hwnd, name, 64);
    const std::wstring_view cls(name, n > 0 ? static_cast<std::size_t>(n) : 0);
    return cls == L"Progman" || cls == L"WorkerW" || cls == L"Shell_TrayWnd" ||
           cls == L"Shell_SecondaryTrayWnd";
  }

  // Windows lets a program that has just received the user's click bring another window to the
  // front. Activation may take a moment (another desktop, under Wine, the window manager): keys
  // sent at once would land in the window still in front, so this waits for it, briefly.
  void BringWindowToTop(WindowHandle window) override {
    const HWND hwnd = ToHwnd(window);
    if (window == 0 || !IsWindow(hwnd) || GetForegroundWindow() == hwnd) return;
    ::BringWindowToTop(hwnd);
    SetForegroundWindow(hwnd);
    const ULONGLONG deadline = GetTickCount64() + kActivationWaitMs;
    while (GetForegroundWindow() != hwnd && GetTickCount64() < deadline) {
      Sleep(1);
    }
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
    return Send(inputs, nullptr, Releasing::Yes);
  }

  void SetListener(Listener* listener) override { listener_ = listener; }

  // The system's foreground notices, and the user's presses (a click into the window already in
  // front is the user's choice too), each as asked for.
  void WatchActivity(Activity watch) override {
    // Hooked anew, the foreground notices between unhooking and hooking would be lost.
    if (watch == activity_) return;
    activity_ = watch;
    Hook(foregroundHook_, watch.front, EVENT_SYSTEM_FOREGROUND, 0, 0);
    UpdateMouseHook();
  }
  // The window's destruction and its title's changes, as its own thread reports them.
  void WatchWindow(WindowHandle window) override {
    watched_ = ToHwnd(window);
    DWORD pid = 0;
    const DWORD thread = window != 0 ? GetWindowThreadProcessId(watched_, &pid) : 0;
    Hook(destroyHook_, false, EVENT_OBJECT_DESTROY, 0, 0);
    Hook(nameHook_, false, EVENT_OBJECT_NAMECHANGE, 0, 0);
    if (thread != 0) {
      Hook(destroyHook_, true, EVENT_OBJECT_DESTROY, pid, thread);
      Hook(nameHook_, true, EVENT_OBJECT_NAMECHANGE, pid, thread);
    }
  }
  // Presses and releases, for keys held until the next stroke.
  void WatchPointer(bool on) override {
    pointer_ = on;
    UpdateMouseHook();
  }
  // A low-level hook would run at every move of the pointer, in any program.
  bool WatchPointerMotion() override { return false; }

  ~Win32Desktop() override {
    WatchActivity({});
    WatchWindow(0);
    WatchPointer(false);
  }

 private:
  // Out-of-context event hooks are called on this thread while its event loop fetches messages.
  void Hook(HWINEVENTHOOK& hook, bool on, DWORD event, DWORD pid, DWORD thread) {
    if (hook) UnhookWinEvent(hook);
    hook = nullptr;
    if (!on) return;
    current_ = this;
    hook = SetWinEventHook(event, event, nullptr, &Win32Desktop::WinEvent, pid, thread,
                           WINEVENT_OUTOFCONTEXT);
  }

  static void CALLBACK WinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                DWORD, DWORD) {
    Win32Desktop* self = current_;
    if (!self || !self->listener_) return;
    if (event == EVENT_SYSTEM_FOREGROUND && self->activity_.front) {
      self->listener_->ActiveWindowChanged();
    } else if (event == EVENT_OBJECT_DESTROY && object == OBJID_WINDOW && child == CHILDID_SELF &&
               window != nullptr && window == self->watched_) {
      self->watched_ = nullptr;
      self->listener_->WindowDestroyed(reinterpret_cast<WindowHandle>(window));
    } else if (event == EVENT_OBJECT_NAMECHANGE && object == OBJID_WINDOW &&
               child == CHILDID_SELF && window != nullptr && window == self->watched_) {
      self->listener_->WindowTitleChanged(reinterpret_cast<WindowHandle>(window));
    }
  }

  // Wine sends foreground notices to hooks of the process that changed the foreground only.
  static bool ForegroundNoticesStayInProcess() {
    static const bool wine =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
  }

  // A low-level mouse hook sees every button without taking it; it runs on this thread while
  // the event loop fetches messages, and only while presses are wanted: for themselves, or
  // where the foreground notices do not come, as the moments the window in front may change.
  void UpdateMouseHook() {
    const bool wanted =
        activity_.presses || pointer_ || (activity_.front && ForegroundNoticesStayInProcess());
    if (wanted && !hook_) {
      current_ = this;
      hook_ =
          SetWindowsHookExW(WH_MOUSE_LL, &Win32Desktop::MouseHook, GetModuleHandleW(nullptr), 0);
    } else if (!wanted && hook_) {
      UnhookWindowsHookEx(hook_);
      hook_ = nullptr;
    }
  }

  // Marks a held code that went down as a character rather than a virtual key.
  static constexpr std::uint32_t kUnicodeMark = 0x10000;

  static LRESULT CALLBACK MouseHook(int code, WPARAM message, LPARAM data) {
    Win32Desktop* self = current_;
    if (code == HC_ACTION && self && self->listener_) {
      const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
      switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN: {
          const HWND under = GetAncestor(WindowFromPoint(info->pt), GA_ROOT);
          self->listener_->PointerPressed(reinterpret_cast<WindowHandle>(under));
          break;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_XBUTTONUP:
          if (self->pointer_) self->listener_->PointerReleased();
          if (self->activity_.front && ForegroundNoticesStayInProcess()) {
            // The window manager brings the clicked window forward a moment after the click.
            SetTimer(nullptr, 0, kLateFrontMs, &Win32Desktop::LateFront);
          }
          break;
        default:
          break;
      }
    }
    return CallNextHookEx(nullptr, code, message, data);
  }

  // A moment after a click, where the foreground notices do not come: the window in front may
  // have changed (the listener looks whether it did).
  static void CALLBACK LateFront(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    Win32Desktop* self = current_;
    if (self && self->listener_ && self->activity_.front) self->listener_->ActiveWindowChanged();
  }
  static constexpr UINT kLateFrontMs = 150;

  // The desktop the hooks report to: there is one a process.
  static inline Win32Desktop* current_ = nullptr;
  HHOOK hook_ = nullptr;
  HWINEVENTHOOK foregroundHook_ = nullptr;
  HWINEVENTHOOK destroyHook_ = nullptr;
  HWINEVENTHOOK nameHook_ = nullptr;
  HWND watched_ = nullptr;
  Activity activity_;
  bool pointer_ = false;
  Listener* listener_ = nullptr;
  Win32WindowShell shell_;
};

}  // namespace

namespace win32 {

std::unique_ptr<Desktop> MakeWin32Desktop() {
  return std::make_unique<Win32Desktop>();
}

}  // namespace win32

}  // namespace kavo::platform
