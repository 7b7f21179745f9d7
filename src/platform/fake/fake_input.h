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
  void BringWindowToTop(WindowHandle window) override { raised.push_back(window); }
  void SendKeys(const std::vector<KeyStroke>& strokes) override { sent.push_back(strokes); }
  void SetInputShape(WindowHandle, const std::vector<Rect>& rects) override { shape = rects; }

  WindowHandle foreground = 0;
  std::map<WindowHandle, std::u16string> titles;
  std::map<WindowHandle, std::int64_t> processes;
  std::vector<WindowHandle> raised;
  std::vector<std::vector<KeyStroke>> sent;
  std::vector<Rect> shape;
};

}  // namespace kavo::platform
