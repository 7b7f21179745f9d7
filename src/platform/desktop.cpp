// Chooses the desktop backend for the session the toolkit runs on; another backend goes beside
// these.

#include "platform/desktop.h"

#include "base/text_codec.h"
#include "platform/system.h"

#include <cstdlib>

#ifdef _WIN32
#include "platform/win32/win32_desktop.h"
#else
#include "platform/x11/x11_desktop.h"
#endif
#ifdef KAVO_WAYLAND
#include "platform/wayland/wayland_desktop.h"
#endif
#ifdef KAVO_KDE
#include "platform/kde/kde_desktop.h"
#endif

namespace kavo::platform {
namespace {

// Where no backend applies the bar still runs; it just cannot reach other programs.
class UnavailableDesktop final : public Desktop, WindowTracking, KeyInjection {
 public:
  UnavailableDesktop(std::string problem, bool placesWindows)
      : problem_(std::move(problem)), shell_(placesWindows) {}

  WindowTracking& Tracking() override { return *this; }
  KeyInjection& Keys() override { return *this; }
  WindowShell& Shell() override { return shell_; }
  EventSource* Events() override { return nullptr; }
  std::string Problem() const override { return problem_; }

  // No window is seen, and none reported.
  WindowHandle ForegroundWindow() override { return 0; }
  std::u16string WindowTitle(WindowHandle) override { return u""; }
  std::int64_t WindowProcess(WindowHandle) override { return 0; }
  std::u16string WindowProgram(WindowHandle) override { return u""; }
  bool IsDesktopShell(WindowHandle) override { return false; }
  void BringWindowToTop(WindowHandle) override {}
  void SetListener(WindowTracking::Listener*) override {}
  void WatchActivity(Activity) override {}
  void WatchWindow(WindowHandle) override {}
  void WatchPointer(bool) override {}
  bool WatchPointerMotion() override { return false; }

  Injection SendKeys(const std::vector<KeyStroke>&) override {
    return Injection::Refused(problem_);
  }
  Injection PressKeys(const std::vector<KeyStroke>&, HeldKeys&) override {
    return Injection::Refused(problem_);
  }
  Injection ReleaseKeys(const HeldKeys&) override { return Injection::Done(); }

 private:
  std::string problem_;
  ToolkitShell shell_;
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

std::unique_ptr<Desktop> MakeUnavailableDesktop(std::string problem, bool placesWindows) {
  if (problem.empty()) problem = "This desktop does not let the bar type into other programs.";
  return std::make_unique<UnavailableDesktop>(std::move(problem), placesWindows);
}

std::string PreferredPlatform([[maybe_unused]] std::string& note) {
#ifdef KAVO_WAYLAND
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (!wayland || !*wayland) return "";
  const std::string missing = wayland::MissingProtocol();
  if (missing.empty()) return "wayland;xcb";
  note = "This Wayland desktop lacks " + missing +
         "; the bar runs through XWayland and reaches X11 programs.";
#ifdef KAVO_KDE
  switch (kde::ProbePlasma()) {
    case kde::PlasmaOffer::All:
      note.clear();
      return "wayland;xcb";
    case kde::PlasmaOffer::Unauthorized:
      note = kde::UnauthorizedProblem(ToUtf8(ExecutablePath())) +
             " Until then the bar reaches X11 programs only.";
      break;
    case kde::PlasmaOffer::None:
      break;
  }
#endif
  const char* x11 = std::getenv("DISPLAY");
  if (x11 && *x11) return "xcb";
  note.clear();  // nothing better: the wayland platform says what is missing
#endif
  return "";
}

std::unique_ptr<Desktop> MakeDesktop([[maybe_unused]] std::string_view platformName) {
#ifdef _WIN32
  return win32::MakeWin32Desktop();
#else
  if (platformName == "xcb") {
    if (auto desktop = x11::MakeX11Desktop()) return desktop;
    return MakeUnavailableDesktop(
        "The X server refused the bar or lacks the XTEST extension: the bar cannot type into other "
        "programs.");
  }
  if (platformName == "wayland") {
    std::string missing = "Wayland support (this build has none)";
#ifdef KAVO_WAYLAND
    if (auto desktop = wayland::MakeWaylandDesktop(missing)) return desktop;
#endif
#ifdef KAVO_KDE
    if (auto desktop = kde::MakeKdeDesktop()) return desktop;
    if (kde::ProbePlasma() == kde::PlasmaOffer::Unauthorized) {
      return MakeUnavailableDesktop(kde::UnauthorizedProblem(ToUtf8(ExecutablePath())), true);
    }
#endif
    return MakeUnavailableDesktop(WaylandProblem(missing), true);
  }
  std::string problem = "This session (";
  problem += platformName;
  problem += ") is neither X11 nor Wayland: the bar cannot type into other programs.";
  return MakeUnavailableDesktop(problem);
#endif
}

}  // namespace kavo::platform
