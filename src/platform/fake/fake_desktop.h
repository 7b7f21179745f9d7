#pragma once
// A desktop that records what it is asked to do, for the windows' tests: every role at once,
// with the state a test sets and reads in plain fields.

#include <map>
#include <set>

#include "platform/desktop.h"

namespace kavo::platform {

class FakeDesktop final : public Desktop,
                          public WindowTracking,
                          public KeyInjection,
                          public WindowShell {
 public:
  WindowTracking& Tracking() override { return *this; }
  KeyInjection& Keys() override { return *this; }
  WindowShell& Shell() override { return *this; }
  EventSource* Events() override { return nullptr; }
  std::string Problem() const override { return ""; }

  // Tracking.
  WindowHandle ForegroundWindow() override { return foreground; }
  std::u16string WindowTitle(WindowHandle window) override { return Find(titles, window); }
  std::int64_t WindowProcess(WindowHandle window) override {
    const auto it = processes.find(window);
    return it == processes.end() ? 0 : it->second;
  }
  std::u16string WindowProgram(WindowHandle window) override { return Find(programs, window); }
  void BringWindowToTop(WindowHandle window) override { raised.push_back(window); }
  void SetListener(WindowTracking::Listener* l) override { listener = l; }
  bool IsDesktopShell(WindowHandle window) override { return desktopShell.contains(window); }
  void WatchActivity(Activity watch) override { watchingActivity = watch; }
  void WatchWindow(WindowHandle window) override { watched = window; }
  void WatchPointer(bool on) override { watchingPointer = on; }
  bool WatchPointerMotion() override {
    watchingMotion = true;
    return true;
  }

  // Keys: refused with the reason while refusal is set, and then nothing is recorded.
  Injection SendKeys(const std::vector<KeyStroke>& strokes) override {
    if (!refusal.empty()) return Injection::Refused(refusal);
    sent.push_back(strokes);
    return Injection::Done();
  }
  // Held keys are recorded among the sent strokes, the presses and the releases each as one
  // group; a held code is the key's index among all keys ever pressed.
  Injection PressKeys(const std::vector<KeyStroke>& keys, HeldKeys& held) override {
    held = {};
    if (!refusal.empty()) return Injection::Refused(refusal);
    sent.push_back(keys);
    for (const KeyStroke& key : keys) {
      held.codes.push_back(static_cast<std::uint32_t>(pressedKeys.size()));
      pressedKeys.push_back(key);
    }
    return Injection::Done();
  }
  Injection ReleaseKeys(const HeldKeys& held) override {
    std::vector<KeyStroke> strokes;
    for (auto code = held.codes.rbegin(); code != held.codes.rend(); ++code) {
      strokes.push_back(pressedKeys.at(*code));
      strokes.back().release = true;
    }
    sent.push_back(strokes);
    return Injection::Done();
  }

  // The bar's window.
  void SetInputShape(WindowHandle, const std::vector<Rect>& rects) override { shape = rects; }
  void SetVisibleShape(WindowHandle, const std::vector<Rect>& rects) override {
    visibleShape = rects;
  }
  bool CompositorRunning() override { return compositor; }
  bool PlacesWindows() const override { return false; }
  void TakeAsMainWindow(WindowHandle window) override { mainWindow = window; }
  void ShowOnAllDesktops(WindowHandle window) override { onAllDesktops = window; }
  std::optional<Margins> FrameExtents(WindowHandle) override { return frame; }
  void SetListener(WindowShell::Listener* l) override { shellListener = l; }

  WindowHandle foreground = 0;
  std::map<WindowHandle, std::u16string> titles;
  std::map<WindowHandle, std::int64_t> processes;
  std::map<WindowHandle, std::u16string> programs;
  std::set<WindowHandle> desktopShell;
  std::vector<WindowHandle> raised;
  std::string refusal;
  std::vector<std::vector<KeyStroke>> sent;
  std::vector<Rect> shape;
  std::vector<Rect> visibleShape;
  bool compositor = true;
  WindowHandle mainWindow = 0;
  WindowHandle onAllDesktops = 0;
  std::optional<Margins> frame;
  WindowTracking::Listener* listener = nullptr;
  WindowShell::Listener* shellListener = nullptr;
  Activity watchingActivity;
  bool watchingPointer = false;
  bool watchingMotion = false;
  std::vector<KeyStroke> pressedKeys;
  WindowHandle watched = 0;

 private:
  static std::u16string Find(const std::map<WindowHandle, std::u16string>& map,
                             WindowHandle window) {
    const auto it = map.find(window);
    return it == map.end() ? u"" : it->second;
  }
};

}  // namespace kavo::platform
