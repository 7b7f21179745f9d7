#include "platform/wayland/input_wayland.h"

#include <unistd.h>

#include "base/text_codec.h"
#include "platform/wayland/toplevel_list.h"
#include "platform/x11/x11_rules.h"

namespace kavo::platform::wayland {
namespace {

// The application id the bar's own windows carry (the desktop entry's name).
constexpr char kOwnAppId[] = "org.kavo.kavo";
// How long an activation may take before the keys go anyway, as on X11.
constexpr int kActivationWaitMs = 500;

class WaylandInputBackend final : public InputBackend {
 public:
  explicit WaylandInputBackend(std::unique_ptr<ToplevelList> list) : list_(std::move(list)) {
    // Held from the start: a client binds a keyboard only once the seat has one, and strokes
    // sent before it has are lost.
    list_->Typer();
    active_ = list_->Activated();
  }

  bool CanType() const override { return list_->Typer() != nullptr; }
  WindowHandle ForegroundWindow() override {
    list_->ReadNews();
    return list_->Activated();
  }
  std::u16string WindowTitle(WindowHandle window) override {
    const auto* toplevel = list_->Find(window);
    return toplevel ? x11::BarTitle(FromUtf8Lossy(toplevel->title)) : u"";
  }
  // The protocol names no process; the bar's own windows are known by their application id.
  std::int64_t WindowProcess(WindowHandle window) override {
    const auto* toplevel = list_->Find(window);
    return toplevel && toplevel->appId == kOwnAppId ? ::getpid() : 0;
  }
  std::u16string WindowProgram(WindowHandle window) override {
    const auto* toplevel = list_->Find(window);
    return toplevel ? FromUtf8Lossy(toplevel->appId) : u"";
  }
  void BringWindowToTop(WindowHandle window) override {
    if (window != 0) list_->Activate(window, kActivationWaitMs);
  }
  void SendKeys(const std::vector<KeyStroke>& strokes) override {
    if (KeyTyper* typer = list_->Typer()) typer->Send(strokes);
  }
  HeldKeys PressKeys(const std::vector<KeyStroke>& keys) override {
    KeyTyper* typer = list_->Typer();
    return typer ? HeldKeys{typer->Press(keys)} : HeldKeys{};
  }
  void ReleaseKeys(const HeldKeys& held) override {
    if (KeyTyper* typer = list_->Typer()) typer->Release(held.codes);
  }
  // The toolkit sets a Wayland surface's input region from the window's mask.
  void SetInputShape(WindowHandle, const std::vector<Rect>&) override {}

  void SetListener(Listener* listener) override { listener_ = listener; }
  void WatchActivity(bool on) override { watchActivity_ = on; }
  void WatchWindow(WindowHandle window) override { watched_ = window; }
  int EventDescriptor() const override { return list_->Descriptor(); }
  void ProcessEvents() override {
    list_->ReadNews();
    if (!listener_) return;
    if (watched_ != 0 && !list_->Find(watched_)) {
      const WindowHandle gone = watched_;
      watched_ = 0;
      listener_->WindowDestroyed(gone);
    }
    const WindowHandle active = list_->Activated();
    if (active != active_) {
      active_ = active;
      if (watchActivity_) listener_->ActiveWindowChanged();
    }
  }

 private:
  std::unique_ptr<ToplevelList> list_;
  Listener* listener_ = nullptr;
  bool watchActivity_ = false;
  WindowHandle watched_ = 0;
  WindowHandle active_ = 0;
};

}  // namespace

std::unique_ptr<InputBackend> MakeWaylandInputBackend(std::string& missing) {
  auto list = ToplevelList::Connect(missing);
  if (!list) return nullptr;
  if (!list->Typer()) {
    missing = "zwp_virtual_keyboard_manager_v1";
    return nullptr;
  }
  return std::make_unique<WaylandInputBackend>(std::move(list));
}

}  // namespace kavo::platform::wayland
