// Chooses the input backend for the session the toolkit runs on; another backend goes beside
// these.

#include "platform/input.h"

#ifdef _WIN32
#include "platform/win32/input_win32.h"
#else
#include "platform/x11/input_x11.h"
#endif

namespace kavo::platform {
namespace {

// Where no backend applies the bar still runs; it just cannot reach other programs.
class UnavailableInputBackend final : public InputBackend {
 public:
  bool CanType() const override { return false; }
  WindowHandle ForegroundWindow() override { return 0; }
  std::u16string WindowTitle(WindowHandle) override { return u""; }
  std::int64_t WindowProcess(WindowHandle) override { return 0; }
  void BringWindowToTop(WindowHandle) override {}
  void SendKeys(const std::vector<KeyStroke>&) override {}
  HeldKeys PressKeys(const std::vector<KeyStroke>&) override { return {}; }
  void ReleaseKeys(const HeldKeys&) override {}
  void SetInputShape(WindowHandle, const std::vector<Rect>&) override {}
};

}  // namespace

std::unique_ptr<InputBackend> MakeUnavailableInputBackend() {
  return std::make_unique<UnavailableInputBackend>();
}

std::unique_ptr<InputBackend> MakeInputBackend([[maybe_unused]] std::string_view platformName) {
#ifdef _WIN32
  return win32::MakeWin32InputBackend();
#else
  if (platformName == "xcb") {
    if (auto backend = x11::MakeX11InputBackend()) return backend;
  }
  return MakeUnavailableInputBackend();
#endif
}

}  // namespace kavo::platform
