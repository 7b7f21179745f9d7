// A window for the end-to-end tests under Wine: writes each key message it receives, and each
// time it becomes or stops being the active window, to a log, one line each, flushed at once:
// "KEYDOWN 17", "CHAR 26", "KEYUP 90", "SYSKEYDOWN 18", "ACTIVE", "INACTIVE".
//
//   kavo_key_target_win32.exe TITLE LOGFILE [X Y]

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::FILE* g_log = nullptr;

void Log(const char* what, WPARAM code) {
  std::fprintf(g_log, "%s %u\n", what, static_cast<unsigned>(code));
  std::fflush(g_log);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_KEYDOWN:
      Log("KEYDOWN", w);
      return 0;
    case WM_KEYUP:
      Log("KEYUP", w);
      return 0;
    case WM_SYSKEYDOWN:
      Log("SYSKEYDOWN", w);
      break;
    case WM_SYSKEYUP:
      Log("SYSKEYUP", w);
      break;
    case WM_CHAR:
      Log("CHAR", w);
      return 0;
    case WM_ACTIVATE:
      std::fputs(LOWORD(w) == WA_INACTIVE ? "INACTIVE\n" : "ACTIVE\n", g_log);
      std::fflush(g_log);
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, w, l);
}

std::wstring Wide(const char* utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(n > 0 ? n - 1 : 0), L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text.data(), n);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s TITLE LOGFILE [X Y]\n", argv[0]);
    return 2;
  }
  g_log = std::fopen(argv[2], "ab");
  if (!g_log) return 1;
  const int x = argc > 4 ? std::atoi(argv[3]) : 400;
  const int y = argc > 4 ? std::atoi(argv[4]) : 300;

  WNDCLASSW type{};
  type.lpfnWndProc = WindowProc;
  type.hInstance = GetModuleHandleW(nullptr);
  type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  type.lpszClassName = L"KavoKeyTarget";
  RegisterClassW(&type);
  const HWND window =
      CreateWindowExW(0, type.lpszClassName, Wide(argv[1]).c_str(), WS_OVERLAPPEDWINDOW, x, y, 300,
                      200, nullptr, nullptr, type.hInstance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  std::fclose(g_log);
  return 0;
}
