#pragma once
// KDE Plasma's windows as its window management reports them (title, application id, process,
// active state), the request that activates one, typing through its fake input with the keys of
// the session's layout, and the seat's idle notices. KWin offers the window list and fake input
// only to programs that a desktop file authorizes (X-KDE-Wayland-Interfaces); Connect says so.
// Keeps its own connection to the compositor, apart from the toolkit's.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/kde/fake_input_typist.h"
#include "platform/wayland/layout_keys.h"
#include "platform/wayland/window_source.h"

struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_keyboard;
struct org_kde_plasma_window_management;
struct org_kde_plasma_window;
struct org_kde_kwin_fake_input;
struct org_kde_kwin_idle;
struct ext_idle_notifier_v1;

namespace kavo::platform::kde {

class PlasmaWindowList final : public wayland::WindowSource {
 public:
  // What a compositor of WAYLAND_DISPLAY offers of KDE Plasma's protocols.
  enum class Offer {
    None,          // no Plasma desktop
    Unauthorized,  // Plasma, hiding its window list and fake input from this program
    All,
  };
  // Connects; the list when the compositor offers all the bar needs, else nullptr and offer
  // says why.
  static std::unique_ptr<PlasmaWindowList> Connect(Offer& offer);
  ~PlasmaWindowList() override;
  PlasmaWindowList(const PlasmaWindowList&) = delete;
  PlasmaWindowList& operator=(const PlasmaWindowList&) = delete;

  std::uint64_t Activated() const override;
  const Window* Find(std::uint64_t handle) const override;
  // Every window announced in full, in no particular order.
  std::vector<std::uint64_t> Handles() const;
  bool Activate(std::uint64_t handle, int timeoutMs) override;
  wayland::Typist* Typer() override { return typer_.get(); }
  std::string NoTyperReason() const override { return ""; }
  std::unique_ptr<wayland::IdleWatch> WatchIdle(std::uint32_t idleMs) override;
  bool IdleTellsStrokes() const override;
  int Descriptor() const override;
  void ReadNews() override;

 private:
  PlasmaWindowList() = default;
  const wayland::LayoutKeys* Layout();

  struct Entry {
    PlasmaWindowList* list;
    org_kde_plasma_window* proxy;
    std::uint32_t id;
    std::uint64_t handle;
    bool ready = false;  // its first state has come
    Window window;
  };
  static void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version);
  void Add(std::uint32_t id, org_kde_plasma_window* proxy);
  void Remove(std::uint32_t id);

  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_seat* seat_ = nullptr;
  wl_keyboard* keyboard_ = nullptr;
  bool plasmaShell_ = false;
  org_kde_plasma_window_management* manager_ = nullptr;
  org_kde_kwin_fake_input* fakeInput_ = nullptr;
  ext_idle_notifier_v1* idleNotifier_ = nullptr;
  org_kde_kwin_idle* kdeIdle_ = nullptr;
  std::optional<wayland::LayoutKeys> layout_;  // the keymap the compositor sent last
  std::int32_t repeatRate_ = 25;               // KWin's repeats a second; 0: none
  std::unique_ptr<FakeInputTypist> typer_;
  std::map<std::uint32_t, std::unique_ptr<Entry>> entries_;  // by the compositor's window id
  std::uint64_t nextHandle_ = (std::uint64_t{1} << 63) + 1;
};

}  // namespace kavo::platform::kde
