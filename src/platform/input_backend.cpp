// Chooses the input backend for the session the toolkit runs on; another backend goes beside
// these.

#include "platform/input.h"

#include <cstdlib>

#ifdef _WIN32
#include "platform/win32/input_win32.h"
#else
#include "platform/x11/input_x11.h"
#endif
#ifdef KAVO_WAYLAND
#include "platform/wayland/input_wayland.h"
#endif

namespace kavo::platform {
namespace {

// Where no backend applies the bar still runs; it just cannot reach other programs.
class UnavailableInputBackend final : public InputBackend {
 public:
  explicit UnavailableInputBackend(std::string problem) : problem_(std::move(problem)) {}
  bool CanType() const override { return false; }
  std::string Problem() const override { return problem_; }
  WindowHandle ForegroundWindow() override { return 0; }
  std::u16string WindowTitle(WindowHandle) override { return u""; }
  std::int64_t WindowProcess(WindowHandle) override { return 0; }
  void BringWindowToTop(WindowHandle) override {}
  void SendKeys(const std::vector<KeyStroke>&) override {}
  HeldKeys PressKeys(const std::vector<KeyStroke>&) override { return {}; }
  void ReleaseKeys(const HeldKeys&) override {}
  void SetInputShape(WindowHandle, const std::vector<Rect>&) override {}

 private:
  std::string problem_;
};

#ifndef _WIN32
// What a Wayland session lacks, and the way out: XWayland reaches the X11 programs at least.
std::string WaylandProblem(const std::string& missing) {
  std::string problem = "Missing ";
  problem += missing;
  problem +=
      ": this Wayland desktop does not let the bar see windows and type into them. Start it with "
      "QT_QPA_PLATFORM=xcb to reach X11 programs.";
  return problem;
}
#endif

}  // namespace

std::unique_ptr<InputBackend> MakeUnavailableInputBackend(std::string problem) {
  return std::make_unique<UnavailableInputBackend>(std::move(problem));
}

std::string PreferredPlatform([[maybe_unused]] std::string& missing) {
#ifdef KAVO_WAYLAND
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (!wayland || !*wayland) return "";
  missing = wayland::MissingProtocol();
  if (missing.empty()) return "wayland;xcb";
  const char* x11 = std::getenv("DISPLAY");
  if (x11 && *x11) return "xcb";
  missing.clear();  // nothing better: the wayland platform says what is missing
#endif
  return "";
}

std::unique_ptr<InputBackend> MakeInputBackend([[maybe_unused]] std::string_view platformName) {
#ifdef _WIN32
  return win32::MakeWin32InputBackend();
#else
  if (platformName == "xcb") {
    if (auto backend = x11::MakeX11InputBackend()) return backend;
    return MakeUnavailableInputBackend(
        "The X server refused the bar or lacks the XTEST extension: the bar cannot type into other "
        "programs.");
  }
  if (platformName == "wayland") {
    std::string missing = "Wayland support (this build has none)";
#ifdef KAVO_WAYLAND
    if (auto backend = wayland::MakeWaylandInputBackend(missing)) return backend;
#endif
    return MakeUnavailableInputBackend(WaylandProblem(missing));
  }
  std::string problem = "This session (";
  problem += platformName;
  problem += ") is neither X11 nor Wayland: the bar cannot type into other programs.";
  return MakeUnavailableInputBackend(problem);
#endif
}

}  // namespace kavo::platform
