// The Win32 layer as the bar uses it: the system's code page, files and texts, the foreground
// window and its title, and key strokes arriving in a window of the test's own.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "base/errors.h"
#include "bindings/comma_rule.h"
#include "bindings/key_list.h"
#include "bindings/key_strokes.h"
#include "platform/code_page.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/system.h"
#include "test_support.h"

namespace kavo {
namespace {

using test::U16;

TEST(Win32System, LegacyCodePageIsTheAnsiCodePage) {
  EXPECT_EQ(platform::SystemCodePage().Id(), GetACP());
  test::TempDir dir;
  const unsigned acp = GetACP();
  std::string bytes;
  std::u16string text;
  if (acp == 932) {
    bytes = "\x8C\xB3\x82\xC9\x96\xDF\x82\xB7,Ctrl,Z\r\n";
    text = U16("元に戻す,Ctrl,Z");
  } else {
    bytes = "Caf\xE9,Ctrl,Z\r\n";
    text = U16("Café,Ctrl,Z");
  }
  test::WriteBytes(dir.Native("k.txt"), bytes);
  KeyList list;
  list.LoadFromFile(dir.File("k.txt"));
  EXPECT_EQ(list.Lines(), std::vector<std::u16string>{text}) << "code page " << acp;
  list.SaveToFile(dir.File("out.txt"));
  EXPECT_EQ(test::ReadBytes(dir.Native("out.txt")), bytes);
}

TEST(Win32System, FileErrorsCarryTheSystemsOwnText) {
  test::TempDir dir;
  try {
    KeyList().LoadFromFile(dir.File("missing.txt"));
    ADD_FAILURE() << "loaded";
  } catch (const EFOpenError& e) {
    const std::string text = test::U8(TrimSystemText(platform::ErrorText(ERROR_FILE_NOT_FOUND)));
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(e.Message(),
              "ファイル " + dir.Native("missing.txt") + " は開けません。 " + text + " ");
  }
}

TEST(Win32System, FileHeldOpenByAnotherProgramIsNotReplaced) {
  test::TempDir dir;
  test::WriteBytes(dir.Native("k.txt"), "kept");
  const std::u16string path = dir.File("k.txt");
  const HANDLE other = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ, 0,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  KeyList list;
  list.Add(u"Undo,Ctrl,Z");
  EXPECT_THROW(list.SaveToFile(dir.File("k.txt")), EFCreateError);
  CloseHandle(other);
  EXPECT_EQ(test::ReadBytes(dir.Native("k.txt")), "kept");
}

TEST(Win32System, LocaleAndExecutable) {
  const std::u16string locale = platform::SystemDefaultLocaleName();
  std::printf("system locale %s, ANSI code page %u\n", test::U8(locale).c_str(), GetACP());
  EXPECT_FALSE(locale.empty());
  if (GetACP() == 932) {
    EXPECT_NE(locale.find(u"ja"), std::u16string::npos);
  }
  const std::u16string exe = platform::ExecutablePath();
  EXPECT_EQ(exe.substr(exe.size() - 4), u".exe");
  EXPECT_EQ(platform::FolderOf(exe).back(), u'\\');
  EXPECT_EQ(platform::ExecutableFileName(), u"kavo_win32_tests.exe");
}

// A window of the test's own that records the key messages it receives.
class TargetWindow {
 public:
  explicit TargetWindow(const wchar_t* title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &TargetWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KavoTestTarget";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                            300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetForegroundWindow(hwnd_);
    Pump(std::chrono::milliseconds(300));
  }
  ~TargetWindow() { DestroyWindow(hwnd_); }

  HWND hwnd() const { return hwnd_; }
  std::vector<std::string> TakeReceived() {
    Pump(std::chrono::milliseconds(300));
    return std::exchange(received_, {});
  }
  static void Pump(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < end) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      Sleep(5);
    }
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TargetWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self &&
        (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP)) {
      const bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
      self->received_.push_back(std::to_string(wParam) + (down ? " down" : " up"));
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }

  HWND hwnd_;
  std::vector<std::string> received_;
};

TEST(Win32Input, TheForegroundWindowItsTitleAndItsProcess) {
  TargetWindow target(L"Kavo target — テスト");
  const auto desktop = platform::MakeDesktop("windows");
  const auto handle = reinterpret_cast<platform::WindowHandle>(target.hwnd());
  EXPECT_EQ(desktop->Tracking().ForegroundWindow(), handle);
  EXPECT_EQ(desktop->Tracking().WindowTitle(handle), U16("Kavo target — テスト"));
  EXPECT_EQ(desktop->Tracking().WindowProcess(handle),
            static_cast<std::int64_t>(GetCurrentProcessId()));
  EXPECT_EQ(desktop->Tracking().WindowProgram(handle),
            u"kavo_win32_tests");  // the executable's name
  EXPECT_EQ(desktop->Tracking().WindowTitle(0), u"");

  SetWindowTextW(target.hwnd(), std::wstring(300, L'T').c_str());
  EXPECT_EQ(desktop->Tracking().WindowTitle(handle), std::u16string(259, u'T'));
}

TEST(Win32Input, BindingsArriveAsTheirExactKeyMessages) {
  TargetWindow target(L"Kavo target");
  const auto desktop = platform::MakeDesktop("windows");
  struct Case {
    std::u16string line;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {u"Undo,Ctrl,Z", {"17 down", "90 down", "90 up", "17 up"}},
      {u"Redo,Ctrl,Shift,Z", {"17 down", "16 down", "90 down", "90 up", "16 up", "17 up"}},
      {u"Help,F1", {"112 down", "112 up"}},
      {u"Minus,-", {"189 down", "189 up"}},  // the minus key, not Insert
      {u"Plus,+", {"16 down", "187 down", "187 up", "16 up"}},
  };
  for (const Case& c : cases) {
    desktop->Tracking().BringWindowToTop(reinterpret_cast<platform::WindowHandle>(target.hwnd()));
    EXPECT_TRUE(desktop->Keys().SendKeys(StrokesForFields(SplitFields(c.line))).Ok());
    EXPECT_EQ(target.TakeReceived(), c.messages) << test::U8(c.line);
  }
}

TEST(Win32Input, HeldKeysGoDownAndComeUpAsPressedAndNewNamesAreTheirKeys) {
  TargetWindow target(L"Kavo target");
  const auto desktop = platform::MakeDesktop("windows");
  const auto window = reinterpret_cast<platform::WindowHandle>(target.hwnd());
  struct Case {
    std::u16string line;
    std::vector<std::string> down, up;
  };
  const Case cases[] = {
      {u"Pan,Space,,,latch", {"32 down"}, {"32 up"}},
      {u"Grab, Ctrl, Shift, Z, toggle",
       {"17 down", "16 down", "90 down"},
       {"90 up", "16 up", "17 up"}},
      {u"Plus,+,,,latch", {"16 down", "187 down"}, {"187 up", "16 up"}},
      {u"Home,Home,PgDn,,latch", {"36 down", "34 down"}, {"34 up", "36 up"}},
  };
  for (const Case& c : cases) {
    desktop->Tracking().BringWindowToTop(window);
    platform::HeldKeys held;
    EXPECT_TRUE(desktop->Keys().PressKeys(BindingForFields(SplitFields(c.line)).keys, held).Ok());
    EXPECT_EQ(target.TakeReceived(), c.down) << test::U8(c.line);
    desktop->Keys().ReleaseKeys(held);
    EXPECT_EQ(target.TakeReceived(), c.up) << test::U8(c.line);
  }
  desktop->Keys().SendKeys(StrokesForFields(SplitFields(u"Quit, Esc")));
  EXPECT_EQ(target.TakeReceived(), (std::vector<std::string>{"27 down", "27 up"}));
}

}  // namespace
}  // namespace kavo
