#include "platform/wayland/toplevel_desktop.h"

#include <chrono>

#include "base/text_codec.h"
#include "platform/common/window_title.h"

namespace kavo::platform::wayland {
namespace {

// How long an activation may take before the keys go anyway, as on X11.
constexpr int kActivationWaitMs = 500;
// A stroke on another program's window is seen only as the seat's activity: it has ended once
// pointer and keys were still this long. The first notice of stillness comes this long after
// the watch began when nothing moved at all; one that comes later had activity before it.
constexpr std::uint32_t kStrokeEndMs = 500;
constexpr auto kNoticeLateness = std::chrono::milliseconds(150);

class ToplevelDesktop final : public Desktop, WindowTracking, KeyInjection, EventSource {
 public:
  ToplevelDesktop(std::unique_ptr<WindowSource> list, std::unique_ptr<WindowShell> shell)
      : list_(std::move(list)), shell_(std::move(shell)) {
    // Held from the start: a client binds a keyboard only once the seat has one, and strokes
    // sent before it has are lost.
    list_->Typer();
    active_ = Front();
  }

  WindowTracking& Tracking() override { return *this; }
  KeyInjection& Keys() override { return *this; }
  WindowShell& Shell() override { return *shell_; }
  EventSource* Events() override { return this; }
  std::string Problem() const override { return list_->Typer() ? "" : list_->NoTyperReason(); }

  // The compositor gives the bar the focus for the moment of a click, which X11 never does: the
  // window in front is the last other one that had it, as the user sees it.
  WindowHandle ForegroundWindow() override {
    list_->ReadNews();
    return Front();
  }
  std::u16string WindowTitle(WindowHandle window) override {
    const auto* toplevel = list_->Find(window);
    return toplevel ? BarTitle(FromUtf8Lossy(toplevel->title)) : u"";
  }
  std::int64_t WindowProcess(WindowHandle window) override {
    const auto* toplevel = list_->Find(window);
    return toplevel ? toplevel->pid : 0;
  }
  std::u16string WindowProgram(WindowHandle window) override {
    const auto* toplevel = list_->Find(window);
    return toplevel ? FromUtf8Lossy(toplevel->appId) : u"";
  }
  // The background and the panels are layer surfaces, which the toplevel list leaves out.
  bool IsDesktopShell(WindowHandle) override { return false; }
  void BringWindowToTop(WindowHandle window) override {
    if (window != 0) list_->Activate(window, kActivationWaitMs);
  }

  Injection SendKeys(const std::vector<KeyStroke>& strokes) override {
    Typist* typer = list_->Typer();
    if (!typer) return Injection::Refused(list_->NoTyperReason());
    return typer->Send(strokes);
  }
  Injection PressKeys(const std::vector<KeyStroke>& keys, HeldKeys& held) override {
    Typist* typer = list_->Typer();
    held = {};
    if (!typer) return Injection::Refused(list_->NoTyperReason());
    return typer->Press(keys, held.codes);
  }
  Injection ReleaseKeys(const HeldKeys& held) override {
    if (Typist* typer = list_->Typer()) typer->Release(held.codes);
    return Injection::Done();
  }

  void SetListener(WindowTracking::Listener* listener) override { listener_ = listener; }
  // Presses come only through the idle notices of WatchPointer, which cost nothing meanwhile.
  void WatchActivity(Activity watch) override { watchActivity_ = watch.front; }
  // The compositor tells no client of moves outside its own surfaces.
  bool WatchPointerMotion() override { return false; }
  void WatchWindow(WindowHandle window) override {
    watched_ = window;
    const auto* toplevel = window != 0 ? list_->Find(window) : nullptr;
    watchedTitle_ = toplevel ? toplevel->title : std::string();
  }
  // The compositor tells no client of another's pointer buttons: a press is reported when the
  // seat turns active, its release once it has been still for kStrokeEndMs (under is unknown).
  void WatchPointer(bool on) override {
    idle_ = on ? list_->WatchIdle(kStrokeEndMs) : nullptr;
    strokeSeen_ = false;
  }
  int Descriptor() const override { return list_->Descriptor(); }
  // News an activation's wait took in (a click) leaves nothing to read on the descriptor.
  bool HasQueuedEvents() const override {
    return (idle_ && idle_->HasNotices()) || Front() != active_ ||
           (watched_ != 0 && WatchedTitleChanged());
  }
  void ProcessEvents() override {
    list_->ReadNews();
    if (!listener_) return;
    if (watched_ != 0 && !list_->Find(watched_)) {
      const WindowHandle gone = watched_;
      watched_ = 0;
      listener_->WindowDestroyed(gone);
    } else if (watched_ != 0 && WatchedTitleChanged()) {
      watchedTitle_ = list_->Find(watched_)->title;
      listener_->WindowTitleChanged(watched_);
    }
    const WindowHandle active = Front();
    if (active != active_) {
      active_ = active;
      if (watchActivity_) listener_->ActiveWindowChanged();
    }
    ReportStroke();
  }

 private:
  // The watched window is gone, or its title is not the one last reported.
  bool WatchedTitleChanged() const {
    const auto* toplevel = list_->Find(watched_);
    return !toplevel || toplevel->title != watchedTitle_;
  }
  bool IsOwn(WindowHandle window) const {
    const auto* toplevel = list_->Find(window);
    return toplevel && toplevel->own;
  }
  WindowHandle Front() const {
    const WindowHandle active = list_->Activated();
    if (!IsOwn(active)) {
      lastOther_ = active;
    } else if (lastOther_ != 0 && !list_->Find(lastOther_)) {
      lastOther_ = 0;
    }
    return lastOther_;
  }

  void ReportStroke() {
    if (!idle_) return;
    if (!list_->IdleTellsStrokes()) {
      idle_->TakeNotices();
      return;
    }
    const auto started = idle_->Started();
    for (const IdleWatch::Notice& notice : idle_->TakeNotices()) {
      const bool activity =
          !notice.idle ||
          notice.at - started > std::chrono::milliseconds(kStrokeEndMs) + kNoticeLateness;
      if (activity && !strokeSeen_) {
        strokeSeen_ = true;
        listener_->PointerPressed(0);
      }
      // The listener may stop the watch here: nothing of it is touched after.
      if (notice.idle && strokeSeen_) {
        listener_->PointerReleased();
        return;
      }
    }
  }

  std::unique_ptr<WindowSource> list_;
  std::unique_ptr<WindowShell> shell_;
  WindowTracking::Listener* listener_ = nullptr;
  bool watchActivity_ = false;
  WindowHandle watched_ = 0;
  std::string watchedTitle_;
  WindowHandle active_ = 0;
  mutable WindowHandle lastOther_ = 0;  // a cache of what Front has seen
  std::unique_ptr<IdleWatch> idle_;
  bool strokeSeen_ = false;
};

}  // namespace

std::unique_ptr<Desktop> MakeToplevelDesktop(std::unique_ptr<WindowSource> source,
                                             std::unique_ptr<WindowShell> shell) {
  return std::make_unique<ToplevelDesktop>(std::move(source), std::move(shell));
}

}  // namespace kavo::platform::wayland
