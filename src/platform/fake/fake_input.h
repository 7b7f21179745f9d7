#pragma once
// An input backend that records what it is asked to do, for the windows' tests.

#include <map>

#include "platform/input.h"

namespace kavo::platform {

class FakeInputBackend final : public InputBackend {
 public:
  bool CanType() const override { return true; }
  WindowHandle ForegroundWindow() override { return foreground; }
  std::u16string WindowTitle(WindowHandle window) override {
    const auto it = titles.find(window);
    return it == titles.end() ? u"" : it->second;
  }
  std::int64_t WindowProcess(WindowHandle window) override {
    const auto it = processes.find(window);
    return it == processes.end() ? 0 : it->second;
  }
  std::u16string WindowProgram(WindowHandle window) override {
    const auto it = programs.find(window);
    return it == programs.end() ? u"" : it->second;
  }
  void BringWindowToTop(WindowHandle window) override { raised.push_back(window); }
  void SendKeys(const std::vector<KeyStroke>& strokes) override { sent.push_back(strokes); }
  // Held keys are recorded among the sent strokes, the presses and the releases each as one
  // group; a held code is the key's index among all keys ever pressed.
  HeldKeys PressKeys(const std::vector<KeyStroke>& keys) override {
    sent.push_back(keys);
    HeldKeys held;
    for (const KeyStroke& key : keys) {
      held.codes.push_back(static_cast<std::uint32_t>(pressedKeys.size()));
      pressedKeys.push_back(key);
    }
    return held;
  }
  void ReleaseKeys(const HeldKeys& held) override {
    std::vector<KeyStroke> strokes;
    for (auto code = held.codes.rbegin(); code != held.codes.rend(); ++code) {
      strokes.push_back(pressedKeys.at(*code));
      strokes.back().release = true;
    }
    sent.push_back(strokes);
  }
  void WatchPointer(bool on) override { watchingPointer = on; }
  void SetInputShape(WindowHandle, const std::vector<Rect>& rects) override { shape = rects; }
  void SetVisibleShape(WindowHandle, const std::vector<Rect>& rects) override {
    visibleShape = rects;
  }
  bool CompositorRunning() override { return compositor; }
  void ShowOnAllDesktops(WindowHandle window) override { onAllDesktops = window; }
  std::optional<Margins> FrameExtents(WindowHandle) override { return frame; }
  void SetListener(Listener* l) override { listener = l; }
  void WatchActivity(bool on) override { watchingActivity = on; }
  void WatchWindow(WindowHandle window) override { watched = window; }

  WindowHandle foreground = 0;
  std::map<WindowHandle, std::u16string> titles;
  std::map<WindowHandle, std::int64_t> processes;
  std::map<WindowHandle, std::u16string> programs;
  std::vector<WindowHandle> raised;
  std::vector<std::vector<KeyStroke>> sent;
  std::vector<Rect> shape;
  std::vector<Rect> visibleShape;
  bool compositor = true;
  WindowHandle onAllDesktops = 0;
  std::optional<Margins> frame;
  Listener* listener = nullptr;
  bool watchingActivity = false;
  bool watchingPointer = false;
  std::vector<KeyStroke> pressedKeys;
  WindowHandle watched = 0;
};

}  // namespace kavo::platform
